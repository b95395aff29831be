// A program for the runner's tests.
//   exit_with CODE [--wait-for FILE]  ends with CODE (decimal or 0x hex, as
//                                     ExitProcess takes it), once FILE is
//                                     there when asked (20 s at most)
//   exit_with CODE --touch FILE       ends with CODE after writing FILE: the
//                                     time, QueryPerformanceCounter in
//                                     microseconds
//   exit_with CODE --append FILE ...  first appends a line to FILE, one per
//                                     run; the other options may follow
//   exit_with DOCUMENT                opened through an association: ends with 42
//   exit_with --winver                ends with the version the system reports,
//                                     major * 100 + minor
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 1;
    if (std::wstring(argv[1]) == L"--winver") {
        OSVERSIONINFOW v{};
        v.dwOSVersionInfoSize = sizeof v;
        if (!GetVersionExW(&v)) return 1;
        return static_cast<int>(v.dwMajorVersion * 100 + v.dwMinorVersion);
    }
    wchar_t* end = nullptr;
    long long code = std::wcstoll(argv[1], &end, 0);
    if (*end != L'\0' || end == argv[1]) return 42;
    for (int i = 2; i + 1 < argc; i += 2) {
        std::wstring option = argv[i];
        if (option == L"--append") {
            HANDLE h = CreateFileW(argv[i + 1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) return 43;
            DWORD written = 0;
            WriteFile(h, "run\r\n", 5, &written, nullptr);
            CloseHandle(h);
        } else if (option == L"--wait-for") {
            for (int n = 0; n < 200 && GetFileAttributesW(argv[i + 1]) == INVALID_FILE_ATTRIBUTES; ++n) Sleep(100);
        } else if (option == L"--touch") {
            LARGE_INTEGER c, f;
            QueryPerformanceCounter(&c);
            QueryPerformanceFrequency(&f);
            std::string us =
                std::to_string(c.QuadPart / f.QuadPart * 1000000 + (c.QuadPart % f.QuadPart) * 1000000 / f.QuadPart);
            HANDLE h = CreateFileW(argv[i + 1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) return 43;
            DWORD written = 0;
            WriteFile(h, us.data(), static_cast<DWORD>(us.size()), &written, nullptr);
            CloseHandle(h);
        }
    }
    ExitProcess(static_cast<UINT>(code));
}
