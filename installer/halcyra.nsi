; The Halcyra installer: the daemon and the applet in Program Files (the 64-bit
; one, or with X86 defined the 32-bit build for 32-bit Windows XP and later),
; the daemon started at log-on for every user, the applet listed in the
; Control Panel, the daemon's messages known to the event log, and an
; uninstaller that leaves nothing behind but the users' own settings.
;
; scripts/package builds it (makensis -INPUTCHARSET UTF8) and defines:
;   VERSION   the programs' four-part version, as their version resources carry it
;   BIN_DIR   the release tree's bin folder
;   SRC_DIR   the source tree
;   OUT_FILE  the setup program to write
;   X86       (optional) the 32-bit setup of the 32-bit programs

!ifdef VERSION & BIN_DIR & SRC_DIR & OUT_FILE
!else
  !error "VERSION, BIN_DIR, SRC_DIR and OUT_FILE must be defined; run scripts/package"
!endif

!ifdef X86
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES"
!else
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include x64.nsh

!define PRODUCT "Halcyra"
!define PUBLISHER "Halcyra"
!define DAEMON "halcyrad.exe"
!define APPLET "halcfg.cpl"
!define UNINSTALLER "uninstall.exe"
; The running daemon's window, as the applet's Unload finds it.
!define DAEMON_CLASS "HalcyraDaemon"
!define DAEMON_TITLE "Halcyra"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define CPLS_KEY "Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls"
!define EVENT_SOURCE_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\Halcyra"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Halcyra"
!define SETTINGS_KEY "Software\Halcyra"
; The daemon reports every entry as a warning.
!define EVENTLOG_WARNING_TYPE 2
!define EVENTLOG_ERROR_TYPE 1

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "${PROGRAM_FILES}\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
; No copyright line, like the programs' own version resources.
!pragma warning disable 9100

!define MUI_ICON "${SRC_DIR}/daemon/halcyra.ico"
!define MUI_UNICON "${SRC_DIR}/daemon/halcyra.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNow)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartDaemon
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_UNCOMPONENTSPAGE_TEXT_TOP "$(SettingsStay)"
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The languages the programs speak; the first is the fallback.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "French"

LangString StartNow ${LANG_ENGLISH} "Start Halcyra now"
LangString StartNow ${LANG_SPANISH} "Iniciar Halcyra ahora"
LangString StartNow ${LANG_GERMAN} "Halcyra jetzt starten"
LangString StartNow ${LANG_ITALIAN} "Avvia Halcyra ora"
LangString StartNow ${LANG_FRENCH} "Démarrer Halcyra maintenant"

LangString NeedsAdmin ${LANG_ENGLISH} "Setting up Halcyra needs administrator rights."
LangString NeedsAdmin ${LANG_SPANISH} "La instalación de Halcyra requiere derechos de administrador."
LangString NeedsAdmin ${LANG_GERMAN} "Die Einrichtung von Halcyra erfordert Administratorrechte."
LangString NeedsAdmin ${LANG_ITALIAN} "L'installazione di Halcyra richiede i diritti di amministratore."
LangString NeedsAdmin ${LANG_FRENCH} "L'installation de Halcyra nécessite les droits d'administrateur."

LangString Needs64 ${LANG_ENGLISH} "This is the setup for 32-bit Windows. Please use the 64-bit setup of Halcyra."
LangString Needs64 ${LANG_SPANISH} "Este es el instalador para Windows de 32 bits. Use el instalador de 64 bits de Halcyra."
LangString Needs64 ${LANG_GERMAN} "Dies ist das Setup für 32-Bit-Windows. Bitte verwenden Sie das 64-Bit-Setup von Halcyra."
LangString Needs64 ${LANG_ITALIAN} "Questa è l'installazione per Windows a 32 bit. Usate l'installazione a 64 bit di Halcyra."
LangString Needs64 ${LANG_FRENCH} "Ceci est l'installation pour Windows 32 bits. Utilisez l'installation 64 bits de Halcyra."

LangString MySettings ${LANG_ENGLISH} "My Halcyra settings"
LangString MySettings ${LANG_SPANISH} "Mi configuración de Halcyra"
LangString MySettings ${LANG_GERMAN} "Meine Halcyra-Einstellungen"
LangString MySettings ${LANG_ITALIAN} "Le mie impostazioni di Halcyra"
LangString MySettings ${LANG_FRENCH} "Mes paramètres Halcyra"

LangString SettingsStay ${LANG_ENGLISH} "Your settings stay unless you tick them."
LangString SettingsStay ${LANG_SPANISH} "Su configuración se conserva a menos que la marque."
LangString SettingsStay ${LANG_GERMAN} "Ihre Einstellungen bleiben erhalten, wenn Sie sie nicht ankreuzen."
LangString SettingsStay ${LANG_ITALIAN} "Le impostazioni restano, a meno che non le selezioniate."
LangString SettingsStay ${LANG_FRENCH} "Vos paramètres sont conservés, sauf si vous les cochez."

; Ends a running daemon the way the applet's Unload does: its tray icon
; first, then WM_CLOSE; then waits for its process, whose file stays locked
; until it has ended.
!macro DEFINE_END_DAEMON un
Function ${un}EndDaemon
  FindWindow $0 "${DAEMON_CLASS}" "${DAEMON_TITLE}"
  ${If} $0 <> 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
    ; SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r2) p .r3'
    ; NOTIFYICONDATAW up to its short tip (168 bytes): the icon (window, 1).
    System::Call '*(i 168, i 0, p r0, i 1, i 0, i 0, i 0, p 0, &w64 "") p .r1'
    System::Call 'shell32::Shell_NotifyIconW(i 2, p r1)'
    System::Free $1
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $3 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r3, i 10000)'
      System::Call 'kernel32::CloseHandle(p r3)'
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_END_DAEMON ""
!insertmacro DEFINE_END_DAEMON "un."

!macro REQUIRE_ADMIN
!ifdef X86
  ; 32-bit programs on 64-bit Windows would register in the 32-bit view,
  ; where the 64-bit Control Panel does not look.
  ${If} ${RunningX64}
    MessageBox MB_ICONSTOP "$(Needs64)" /SD IDOK
    ; ERROR_EXE_MACHINE_TYPE_MISMATCH
    SetErrorLevel 216
    Quit
  ${EndIf}
!else
  SetRegView 64
!endif
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP "$(NeedsAdmin)" /SD IDOK
    ; ERROR_ELEVATION_REQUIRED
    SetErrorLevel 740
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro REQUIRE_ADMIN
FunctionEnd

Function un.onInit
  !insertmacro REQUIRE_ADMIN
FunctionEnd

Function StartDaemon
  ; Through the shell, so the daemon runs with the user's rights rather than
  ; the setup's: the applet's Unload could not close an elevated window.
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${DAEMON}"'
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  ; An older copy may be running and holds its file.
  Call EndDaemon
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}/${DAEMON}"
  File "${BIN_DIR}/${APPLET}"
  File "${BIN_DIR}/halcyra.html"
  File "${BIN_DIR}/halcyraset.html"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${DAEMON}"'
  WriteRegStr HKLM "${CPLS_KEY}" "${PRODUCT}" "$INSTDIR\${APPLET}"
  WriteRegExpandStr HKLM "${EVENT_SOURCE_KEY}" "EventMessageFile" "$INSTDIR\${DAEMON}"
  ; Errors and warnings: ${EVENTLOG_ERROR_TYPE} | ${EVENTLOG_WARNING_TYPE}
  WriteRegDWORD HKLM "${EVENT_SOURCE_KEY}" "TypesSupported" 3

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${DAEMON},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "un.${PRODUCT}" SecUnProgram
  SectionIn RO
  Call un.EndDaemon
  Delete /REBOOTOK "$INSTDIR\${DAEMON}"
  Delete /REBOOTOK "$INSTDIR\${APPLET}"
  Delete "$INSTDIR\halcyra.html"
  Delete "$INSTDIR\halcyraset.html"
  ; The daemon's log, written beside it.
  Delete "$INSTDIR\events.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir /REBOOTOK "$INSTDIR"

  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  DeleteRegValue HKLM "${CPLS_KEY}" "${PRODUCT}"
  DeleteRegKey HKLM "${EVENT_SOURCE_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Unticked by default, so a silent uninstall keeps them too.
Section /o "un.$(MySettings)" SecUnSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd
