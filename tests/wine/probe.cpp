// SPDX-License-Identifier: MIT
// Lists visible top-level windows as Win32 sees them, one line each, top of the z-order first:
//   window hwnd=0x.. pid=N z=N class="..." title="..." rect=x,y,w,h topmost=0|1 taskbar=0|1
//          owner=0x.. region=none|simple|complex box=x,y,w,h
// then "foreground hwnd=0x..". Fields are tab-separated; quotes and backslashes in texts are escaped.
//   probe [pid]            windows of that process (every process when 0 or left out)
//   probe children HWND    the window's visible children (class, text, rect), and every item of each
//                          combo box
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

static std::string utf8(const wchar_t *text)
{
    std::string out;
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n > 1) {
        out.resize(n - 1);
        WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    }
    std::string quoted = "\"";
    for (char c : out) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
    }
    return quoted + '"';
}

static std::string className(HWND w)
{
    wchar_t buf[256] = {};
    GetClassNameW(w, buf, 256);
    return utf8(buf);
}

static std::string windowText(HWND w)
{
    wchar_t buf[1024] = {};
    // WM_GETTEXT crosses processes where GetWindowTextW of a child would not.
    SendMessageTimeoutW(w, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
    return utf8(buf);
}

struct Filter {
    DWORD pid = 0;
    int z = 0;
};

static BOOL CALLBACK listTopLevel(HWND w, LPARAM param)
{
    auto *f = reinterpret_cast<Filter *>(param);
    const int z = f->z++;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (!IsWindowVisible(w) || (f->pid && pid != f->pid))
        return TRUE;
    const LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
    const HWND owner = GetWindow(w, GW_OWNER);
    // The shell's rule for a taskbar button.
    const bool taskbar = !(ex & WS_EX_TOOLWINDOW) && (!owner || (ex & WS_EX_APPWINDOW));
    RECT r{};
    GetWindowRect(w, &r);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const int type = GetWindowRgn(w, rgn);
    RECT box{};
    if (type == SIMPLEREGION || type == COMPLEXREGION)
        GetRgnBox(rgn, &box);
    DeleteObject(rgn);
    const char *region = type == SIMPLEREGION ? "simple" : type == COMPLEXREGION ? "complex" : "none";
    std::printf("window\thwnd=0x%llx\tpid=%lu\tz=%d\tclass=%s\ttitle=%s\trect=%ld,%ld,%ld,%ld\ttopmost=%d\ttaskbar=%d"
                "\towner=0x%llx\tregion=%s\tbox=%ld,%ld,%ld,%ld\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)), pid, z, className(w).c_str(),
                windowText(w).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top, (ex & WS_EX_TOPMOST) ? 1 : 0,
                taskbar ? 1 : 0, static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(owner)), region, box.left,
                box.top, box.right - box.left, box.bottom - box.top);
    return TRUE;
}

static BOOL CALLBACK listChild(HWND w, LPARAM)
{
    if (!IsWindowVisible(w))
        return TRUE;
    const std::string cls = className(w);
    RECT r{};
    GetWindowRect(w, &r);
    std::printf("child\thwnd=0x%llx\tclass=%s\ttext=%s\trect=%ld,%ld,%ld,%ld\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)), cls.c_str(), windowText(w).c_str(),
                r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (cls == "\"ComboBox\"") {
        DWORD_PTR count = 0;
        SendMessageTimeoutW(w, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        for (DWORD_PTR i = 0; i < count && i < 64; ++i) {
            wchar_t buf[512] = {};
            SendMessageTimeoutW(w, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
            std::printf("item\tcombo=0x%llx\tindex=%llu\ttext=%s\n",
                        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)),
                        static_cast<unsigned long long>(i), utf8(buf).c_str());
        }
    }
    return TRUE;
}

int main(int argc, char **argv)
{
    if (argc == 3 && std::string(argv[1]) == "children") {
        const HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argv[2], nullptr, 0)));
        if (!IsWindow(parent))
            return 2;
        EnumChildWindows(parent, listChild, 0);
        return 0;
    }
    Filter f;
    if (argc > 1)
        f.pid = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 0));
    EnumWindows(listTopLevel, reinterpret_cast<LPARAM>(&f));
    std::printf("foreground\thwnd=0x%llx\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetForegroundWindow())));
    return 0;
}
