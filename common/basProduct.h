#pragma once

// Names both deliverables agree on: how the applet finds the running daemon,
// and the files that cross between them.
namespace basProduct {

// The product's name: the daemon's window title and every message box's.
inline constexpr const char* kAppTitle = "Halcyra";
// The daemon's window class: with the title it tells the running daemon
// from any message box titled "Halcyra".
inline constexpr const char* kDaemonWindowClass = "HalcyraDaemon";
// The daemon's log, in its folder.
inline constexpr const char* kLogFileName = "events.txt";
// The settings applet, beside the daemon or in the system folder.
inline constexpr const char* kAppletFileName = "halcfg.cpl";

}  // namespace basProduct
