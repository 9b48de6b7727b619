#include "Session.h"

#include "ConfigServiceStore.h"
#include "DragData.h"
#include "Undo.h"
#include "UserInput.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <atomic>
#include <sstream>
#include <thread>
#include <type_traits>
#include <vector>

bool WaitUntil(const std::function<bool()>& condition, DWORD dwTimeout)
{
    for (const DWORD dwStart = ::GetTickCount();; ::Sleep(20)) {
        if (condition()) return true;
        if (::GetTickCount() - dwStart > dwTimeout) return false;
    }
}

std::string Utf8(const std::wstring& str)
{
    std::string utf8(str.size() * 3 + 1, '\0');
    utf8.resize(static_cast<size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, str.c_str(), static_cast<int>(str.size()), &utf8[0],
                              static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

// --- the dialog in a process or on a thread ---

CProgramUnderTest::CProgramUnderTest(const char* pszUnixPath, std::wstring params)
    : CProgramUnderTest(WinePath(pszUnixPath).GetString(), std::move(params))
{
}

bool CProgramUnderTest::Start()
{
    Close();
    const PROCESS_INFORMATION pi = StartProcess(m_path.c_str(), m_params.c_str());
    if (!pi.hProcess) return false;
    ::CloseHandle(pi.hThread);
    m_hProcess = pi.hProcess;
    m_dwProcess = pi.dwProcessId;
    return true;
}

bool CProgramUnderTest::Open()
{
    if (!Start()) {
        ADD_FAILURE() << "the program did not start: error " << ::GetLastError();
        return false;
    }
    m_hDlg = WaitForDialog(m_dwProcess, L"Kivora Buttons");
    m_dwThread = m_hDlg ? ::GetWindowThreadProcessId(m_hDlg, nullptr) : 0;
    if (!m_hDlg) {
        DWORD dwCode = 0;
        if (::GetExitCodeProcess(m_hProcess, &dwCode))
            ADD_FAILURE() << (dwCode == STILL_ACTIVE
                                  ? "the program runs without its dialog"
                                  : "the program ended with " + std::to_string(dwCode));
        return false;
    }
    // The list fills after the dialog shows.
    WaitUntil([this] { return ::SendMessageW(::GetDlgItem(m_hDlg, 1000), LVM_GETITEMCOUNT, 0, 0); },
              5000);
    return true;
}

DWORD CProgramUnderTest::WaitForEnd(DWORD dwWait)
{
    if (!m_hProcess) return m_dwExitCode;
    m_dwExitCode = 99;
    if (::WaitForSingleObject(m_hProcess, dwWait) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(m_hProcess, &m_dwExitCode);
    else
        ::TerminateProcess(m_hProcess, 99);
    ::CloseHandle(m_hProcess);
    m_hProcess = nullptr;
    m_hDlg = nullptr;
    return m_dwExitCode;
}

void CProgramUnderTest::Close()
{
    if (!m_hProcess) return;
    if (::IsWindow(m_hDlg)) ::PostMessageW(m_hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    WaitForEnd();
}

namespace {

// One thread of the process runs every dialog a test makes on a thread, with OLE started there once
// as the program starts it: a thread for each dialog would cost a new apartment each time.
class CUiThread
{
public:
    static CUiThread& Get()
    {
        static CUiThread thread;
        return thread;
    }
    DWORD Id() const { return m_dwThread; }
    // Runs the function on the thread and waits for it. Sent to a window of the thread, it runs in
    // whatever loop the thread is in at the time: a drag's, a menu's, a message box's.
    void Invoke(const std::function<void()>& fn)
    {
        ::SendMessageW(m_hWnd, WM_APP, 0, reinterpret_cast<LPARAM>(&fn));
    }

private:
    CUiThread()
    {
        m_hReady = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ::CloseHandle(::CreateThread(nullptr, 0, Run, this, 0, &m_dwThread));
        ::WaitForSingleObject(m_hReady, INFINITE);
        ::CloseHandle(m_hReady);
    }
    static LRESULT CALLBACK CallProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        if (uMsg != WM_APP) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    static DWORD WINAPI Run(void* pThis)
    {
        auto* self = static_cast<CUiThread*>(pThis);
        ::OleInitialize(nullptr);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = CallProc;
        wc.lpszClassName = L"SessionCalls";
        ::RegisterClassW(&wc);
        self->m_hWnd = ::CreateWindowW(L"SessionCalls", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr);
        ::SetEvent(self->m_hReady);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            const HWND hRoot = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
            if (!hRoot || !::IsDialogMessageW(hRoot, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        return 0;
    }
    DWORD m_dwThread = 0;
    HWND m_hWnd = nullptr;
    HANDLE m_hReady = nullptr;
};

} // namespace

bool CDialogOnThread::Open()
{
    Close();
    CUiThread& thread = CUiThread::Get();
    thread.Invoke([this] { m_hDlg = m_make(); });
    m_dwThread = thread.Id();
    m_dwProcess = ::GetCurrentProcessId();
    m_bOpen = true;
    return m_hDlg != nullptr;
}

void CDialogOnThread::Invoke(const std::function<void()>& fn)
{
    CUiThread::Get().Invoke(fn);
}

void CDialogOnThread::Close()
{
    if (!m_bOpen) return;
    if (::IsWindow(m_hDlg)) {
        ::PostMessageW(m_hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(WaitUntil([this] { return !::IsWindow(m_hDlg); })) << "the dialog stays";
    }
    CUiThread::Get().Invoke(m_destroy);
    m_bOpen = false;
    m_hDlg = nullptr;
}

// --- the store ---

StoreMap ReadRegistry(HKEY hRoot, const std::wstring& path)
{
    StoreMap store;
    for (const RegEntry& e : ReadRegistryTree(hRoot, path)) {
        const std::wstring key = e.path.empty() ? e.path : e.path.substr(1);
        if (e.type == kRegKey) {
            store[key + L"\\"] = L""; // the key itself, which may hold no value
            continue;
        }
        std::wstring value(reinterpret_cast<const WCHAR*>(e.data.data()),
                           e.data.size() / sizeof(WCHAR));
        if (e.type == REG_SZ || e.type == REG_MULTI_SZ) {
            while (!value.empty() && value.back() == L'\0')
                value.pop_back();
            if (e.type == REG_MULTI_SZ)
                for (WCHAR& ch : value)
                    if (!ch) ch = L'|';
        } else {
            value = std::to_wstring(e.type) + L":" + value + (e.data.size() % 2 ? L"+" : L"");
        }
        store[key + L"\\" + e.name] = value;
    }
    return store;
}

StoreMap ReadStore()
{
    return ReadRegistry(HKEY_CURRENT_USER, kStoreKey);
}

std::string StoreDifference(const StoreMap& a, const StoreMap& b)
{
    std::string text;
    for (const auto& entry : a) {
        const auto it = b.find(entry.first);
        if (it == b.end())
            text += Utf8(entry.first) + " only before: " + Utf8(entry.second.substr(0, 60)) + "\n";
        else if (it->second != entry.second)
            text += Utf8(entry.first) + ": " + Utf8(entry.second.substr(0, 60)) + " -> " +
                    Utf8(it->second.substr(0, 60)) + "\n";
    }
    for (const auto& entry : b)
        if (!a.count(entry.first))
            text += Utf8(entry.first) + " only after: " + Utf8(entry.second.substr(0, 60)) + "\n";
    return text;
}

// --- the session ---

std::vector<DWORD> ProcessesNamed(LPCWSTR pszExe)
{
    std::vector<DWORD> ids;
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof(pe);
    for (BOOL b = ::Process32FirstW(hSnap, &pe); b; b = ::Process32NextW(hSnap, &pe))
        if (!_wcsicmp(pe.szExeFile, pszExe)) ids.push_back(pe.th32ProcessID);
    ::CloseHandle(hSnap);
    return ids;
}

std::wstring WindowText(HWND hWnd)
{
    DWORD_PTR cch = 0;
    if (!::SendMessageTimeoutW(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &cch))
        return L"<no answer>";
    std::wstring text(cch + 1, L'\0');
    ::SendMessageTimeoutW(hWnd, WM_GETTEXT, cch + 1, reinterpret_cast<LPARAM>(&text[0]),
                          SMTO_NORMAL, 10000, &cch);
    text.resize(cch);
    return text;
}

namespace {

struct Named
{
    const char* pszName;
    int nID;
};
const Named kItems[] = {{"Apply", 1045},  {"OK", 1043},    {"Cancel", 1022}, {"Add", 1046},
                        {"Delete", 1008}, {"About", 1004}, {"Help", 9},      {"Browse", 3},
                        {"Tray", 1071},   {"Name", 1001},  {"Target", 1005}, {"List", 1000},
                        {"Box", 1048}};
const Named kAnswers[] = {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}, {"OK", IDOK}};
const Named kKeys[] = {{"Down", VK_DOWN}, {"Up", VK_UP},         {"Home", VK_HOME},
                       {"End", VK_END},   {"Escape", VK_ESCAPE}, {"Tab", VK_TAB}};

template <size_t N> int Find(const Named (&table)[N], const std::string& name)
{
    for (const Named& n : table)
        if (name == n.pszName) return n.nID;
    return -1;
}

std::wstring Wide(const std::string& utf8)
{
    std::wstring str(utf8.size(), L'\0');
    str.resize(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(),
                                                         static_cast<int>(utf8.size()), &str[0],
                                                         static_cast<int>(str.size()))));
    return str;
}

// A quoted text from step[i], the quote, on: its escapes resolved, "..."*N or "..."#N repeated.
std::wstring Quoted(const std::string& step, size_t& i)
{
    std::wstring text;
    std::string plain;
    for (i++; i < step.size() && step[i] != '"'; i++) {
        if (step[i] != '\\' || i + 1 == step.size()) {
            plain += step[i];
            continue;
        }
        text += Wide(plain);
        plain.clear();
        const char ch = step[++i];
        if (ch == 'x' || ch == 'u') {
            const size_t nDigits = ch == 'x' ? 2 : 4;
            text += static_cast<WCHAR>(strtoul(step.substr(i + 1, nDigits).c_str(), nullptr, 16));
            i += nDigits;
        } else {
            const char szFrom[] = "nrt0";
            const WCHAR szTo[] = {L'\n', L'\r', L'\t', L'\0'};
            const char* p = ch ? strchr(szFrom, ch) : nullptr;
            text += p ? szTo[p - szFrom] : static_cast<WCHAR>(static_cast<unsigned char>(ch));
        }
    }
    text += Wide(plain);
    i++;
    if (i < step.size() && (step[i] == '*' || step[i] == '#')) {
        const bool bNumbered = step[i] == '#';
        const int nTimes = atoi(step.c_str() + i + 1);
        for (i++; i < step.size() && isdigit(static_cast<unsigned char>(step[i]));)
            i++;
        std::wstring repeated;
        for (int n = 1; n <= nTimes; n++)
            for (WCHAR c : text)
                repeated += bNumbered && c == L'#' ? std::to_wstring(n) : std::wstring(1, c);
        text.swap(repeated);
    }
    return text;
}

} // namespace

std::wstring Expanded(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); i++) {
        const size_t nEnd = text.compare(i, 2, L"$(") ? std::wstring::npos : text.find(L')', i);
        if (nEnd == std::wstring::npos) {
            out += text[i];
            continue;
        }
        std::wstring value(32767, L'\0');
        value.resize(
            ::GetEnvironmentVariableW(text.substr(i + 2, nEnd - i - 2).c_str(), &value[0], 32767));
        out += value;
        i = nEnd;
    }
    return out;
}

std::vector<std::wstring> Words(const std::string& step)
{
    std::vector<std::wstring> words;
    for (size_t i = 0; i < step.size();) {
        if (step[i] == ' ') {
            i++;
            continue;
        }
        std::wstring word;
        while (i < step.size() && step[i] != ' ') {
            if (step[i] == '"') {
                word += Quoted(step, i);
            } else {
                const size_t nEnd = std::min(step.find_first_of(" \"", i), step.size());
                word += Wide(step.substr(i, nEnd - i));
                i = nEnd;
            }
        }
        words.push_back(Expanded(word));
    }
    return words;
}

namespace {

// The parts of a row between the separators outside quotes.
std::vector<std::string> Split(const std::string& row, char chSeparator)
{
    std::vector<std::string> parts(1);
    bool bQuoted = false;
    for (size_t i = 0; i < row.size(); i++) {
        if (row[i] == '\\' && bQuoted && i + 1 < row.size()) {
            parts.back() += row.substr(i++, 2);
            continue;
        }
        if (row[i] == '"') bQuoted = !bQuoted;
        if (row[i] == chSeparator && !bQuoted)
            parts.emplace_back();
        else
            parts.back() += row[i];
    }
    return parts;
}

// A combo box's items, in this process or another, joined with the separator.
std::wstring ComboItems(HWND hBox, LPCWSTR pszSeparator)
{
    std::wstring items;
    DWORD_PTR nCount = 0;
    ::SendMessageTimeoutW(hBox, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 10000, &nCount);
    for (DWORD_PTR i = 0; i < nCount; i++) {
        WCHAR szItem[1024] = {};
        ::SendMessageTimeoutW(hBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(szItem), SMTO_NORMAL,
                              10000, nullptr);
        items += (i ? pszSeparator : L"") + std::wstring(szItem);
    }
    return items;
}

HWND FocusOf(DWORD dwThread)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(dwThread, &info);
    return info.hwndFocus;
}

// The popup windows a step may open on the dialog's thread: message boxes, the About box, menus.
enum Popup { kNone, kMessageBox, kAboutBox, kMenu, kOpenDialog };

Popup KindOf(HWND hWnd, HWND hDlg)
{
    WCHAR szClass[16] = {};
    ::GetClassNameW(hWnd, szClass, ARRAYSIZE(szClass));
    if (hWnd == hDlg || !::IsWindowVisible(hWnd)) return kNone;
    if (!wcscmp(szClass, L"#32768")) return kMenu;
    if (wcscmp(szClass, L"#32770")) return kNone;
    if (::GetDlgItem(hWnd, cmb13)) return kOpenDialog;
    if (::GetDlgItem(hWnd, 0xFFFF)) return kMessageBox;
    return ::GetDlgItem(hWnd, 1029) ? kAboutBox : kNone;
}

class CSession
{
public:
    CSession(CDialogUnderTest& dlg, CUndo& undo, const CustomSteps& custom)
        : m_dlg(dlg), m_undo(undo), m_custom(custom), m_bOpened(::IsWindow(dlg.m_hDlg))
    {
    }
    // Whether the session has had its dialog open.
    bool Opened() const { return m_bOpened; }
    void Run(const std::vector<std::wstring>& w);
    // What "answer", "menu" or "about" announced must have come by the end of the next step.
    void ExpectNothingPending();

private:
    HWND Item(int nID) const { return ::GetDlgItem(m_dlg.m_hDlg, nID); }
    int ItemOf(const std::wstring& name) const
    {
        const int nID = Find(kItems, Utf8(name));
        EXPECT_NE(nID, -1) << "no control named " << Utf8(name);
        return nID;
    }
    // Sends the message and waits for its handler (and for what it posts), handling what it opens
    // meanwhile.
    void Blocking(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool bPosted = false);
    // Answers, reads or closes a popup as the steps before announced it.
    void Handle(HWND hWnd, Popup kind, std::vector<std::string>& problems);
    // A mark posted to the dialog's thread, and whether the thread has come to it.
    int PostFence();
    bool Fenced(int nFence);
    // Waits until what was posted to the dialog's thread before has been handled.
    void Settle();
    void Type(int nID, const std::wstring& text);
    std::wstring ListText(int nRow, int nColumn);
    RECT RemoteItemRect(int nRow);
    template <class T> T Remote(UINT uMsg, WPARAM wParam, const T& in);

    // Does the step when it is an arrangement; whether it was.
    bool Arrange(const std::vector<std::wstring>& w);

    CDialogUnderTest& m_dlg;
    CUndo& m_undo;
    const CustomSteps& m_custom;
    bool m_bOpened;
    std::vector<int> m_answers;           // for the next message boxes, in order
    std::wstring m_menuPick, m_aboutText; // for the next menu and About box
    bool m_bAbout = false;
    std::wstring m_openPath; // for the next Open dialog: typed and opened, or "" to cancel it
    bool m_bOpenDialog = false;
    // The message boxes answered in the last step that showed any, "Caption: text"; the last menu's
    // items.
    std::vector<std::wstring> m_asked;
    std::wstring m_menuItems;
    int m_nSteps = 0, m_nAskedInStep = 0; // steps run; the last that showed a box
    std::wstring m_openShown; // the last Open dialog's folder, file name and filters, as it came
    bool m_bCtrl = false;     // for the next drag
    DWORD m_dwEffect = 0;     // the last drag's
    int m_nFence = 1000;
};

template <class T> T CSession::Remote(UINT uMsg, WPARAM wParam, const T& in)
{
    // The list's messages carry pointers, which must point into the process that owns it.
    T out = in;
    HANDLE hProcess = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                    FALSE, m_dlg.m_dwProcess);
    if (!hProcess) return out;
    const SIZE_T cb = sizeof(T) + 2048;
    BYTE* pRemote = static_cast<BYTE*>(
        ::VirtualAllocEx(hProcess, nullptr, cb, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    T local = in;
    if constexpr (std::is_same<T, LVITEMW>::value) {
        local.pszText = reinterpret_cast<LPWSTR>(pRemote + sizeof(T));
        local.cchTextMax = 1000;
    }
    ::WriteProcessMemory(hProcess, pRemote, &local, sizeof(T), nullptr);
    DWORD_PTR dwResult = 0;
    ::SendMessageTimeoutW(Item(1000), uMsg, wParam, reinterpret_cast<LPARAM>(pRemote), SMTO_NORMAL,
                          10000, &dwResult);
    ::ReadProcessMemory(hProcess, pRemote, &out, sizeof(T), nullptr);
    if constexpr (std::is_same<T, LVITEMW>::value) {
        static WCHAR szText[1001];
        szText[0] = 0;
        ::ReadProcessMemory(hProcess, pRemote + sizeof(T), szText, 2000, nullptr);
        szText[1000] = 0;
        out.pszText = szText;
    }
    ::VirtualFreeEx(hProcess, pRemote, 0, MEM_RELEASE);
    ::CloseHandle(hProcess);
    return out;
}

std::wstring CSession::ListText(int nRow, int nColumn)
{
    LVITEMW item = {};
    item.iSubItem = nColumn;
    return Remote(LVM_GETITEMTEXTW, nRow, item).pszText;
}

RECT CSession::RemoteItemRect(int nRow)
{
    RECT rc = {LVIR_LABEL, 0, 0, 0};
    return Remote(LVM_GETITEMRECT, nRow, rc);
}

void CSession::Handle(HWND hWnd, Popup kind, std::vector<std::string>& problems)
{
    switch (kind) {
        case kMessageBox:
            if (m_nAskedInStep != m_nSteps) m_asked.clear();
            m_nAskedInStep = m_nSteps;
            m_asked.push_back(WindowText(hWnd) + L": " + WindowText(::GetDlgItem(hWnd, 0xFFFF)));
            if (m_answers.empty())
                problems.push_back("an unannounced box: " + Utf8(m_asked.back()));
            ::PostMessageW(hWnd, WM_COMMAND, m_answers.empty() ? IDCANCEL : m_answers.front(), 0);
            if (!m_answers.empty()) m_answers.erase(m_answers.begin());
            break;
        case kAboutBox:
            if (!m_bAbout) problems.push_back("an unannounced About box");
            m_aboutText = WindowText(::GetDlgItem(hWnd, 1029));
            ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
            m_bAbout = false;
            break;
        case kMenu: {
            const HMENU hMenu = reinterpret_cast<HMENU>(::SendMessageW(hWnd, MN_GETHMENU, 0, 0));
            std::vector<WORD> keys;
            m_menuItems.clear();
            for (int n = 0, nDowns = 0; n < ::GetMenuItemCount(hMenu); n++) {
                WCHAR szText[64] = {};
                ::GetMenuStringW(hMenu, n, szText, ARRAYSIZE(szText), MF_BYPOSITION);
                m_menuItems += (n ? L"|" : L"") + std::wstring(*szText ? szText : L"-");
                nDowns += *szText != 0;
                if (*szText && m_menuPick == szText) keys.assign(nDowns, VK_DOWN);
            }
            if (keys.empty() && m_menuPick != L"-")
                problems.push_back("no menu item " + Utf8(m_menuPick));
            keys.push_back(keys.empty() ? VK_ESCAPE : VK_RETURN);
            for (WORD vk : keys)
                PostKey(hWnd, vk);
            m_menuPick.clear();
            // The menu stays a moment after its keys; it must not be handled twice.
            WaitUntil([hWnd] { return !::IsWindowVisible(hWnd); }, 5000);
            break;
        }
        case kOpenDialog:
            if (!m_bOpenDialog) problems.push_back("an unannounced Open dialog");
            m_openShown = WindowText(::GetDlgItem(hWnd, cmb2)) + L"|" +
                          WindowText(::GetDlgItem(hWnd, cmb13)) + L"|" +
                          ComboItems(::GetDlgItem(hWnd, cmb1), L";");
            if (m_openPath.empty()) {
                ::PostMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
            } else {
                ::SendMessageW(::GetDlgItem(hWnd, cmb13), WM_SETTEXT, 0,
                               reinterpret_cast<LPARAM>(m_openPath.c_str()));
                ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
            }
            m_bOpenDialog = false;
            break;
        case kNone:
            break;
    }
}

void CSession::Blocking(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool bPosted)
{
    std::atomic<bool> bDone(false);
    std::vector<std::string> problems;
    const std::vector<HWND> before = WindowsOf(m_dlg.m_dwThread);
    // The popups the step has opened on the dialog's thread so far.
    auto opened = [&] {
        std::vector<std::pair<HWND, Popup>> popups;
        for (HWND h : WindowsOf(m_dlg.m_dwThread)) {
            const Popup kind = KindOf(h, m_dlg.m_hDlg);
            if (kind != kNone && std::find(before.begin(), before.end(), h) == before.end())
                popups.emplace_back(h, kind);
        }
        return popups;
    };
    std::vector<HWND> handled;
    std::thread watcher([&] {
        WaitUntil(
            [&] {
                // Each is handled once, also while it closes or waits for a box it opened.
                for (const auto& popup : opened())
                    if (std::find(handled.begin(), handled.end(), popup.first) == handled.end()) {
                        handled.push_back(popup.first);
                        Handle(popup.first, popup.second, problems);
                    }
                return bDone.load();
            },
            INFINITE);
    });
    DWORD_PTR dwResult = 0;
    bool bAnswered =
        ::SendMessageTimeoutW(hWnd, uMsg, wParam, lParam, SMTO_NORMAL, 30000, &dwResult) ||
        !::IsWindow(hWnd);
    if (bAnswered && bPosted) {
        // What the handler posted (a menu's command) comes before a mark posted now; what it
        // opens is handled until it has gone.
        const int nFence = PostFence();
        bAnswered = WaitUntil([&] { return opened().empty() && Fenced(nFence); }, 30000);
    }
    bDone = true;
    watcher.join();
    EXPECT_TRUE(bAnswered) << "the dialog did not finish the step within 30 s";
    for (const std::string& problem : problems)
        ADD_FAILURE() << problem;
}

void CSession::ExpectNothingPending()
{
    EXPECT_TRUE(m_answers.empty()) << "no message box came";
    EXPECT_TRUE(m_menuPick.empty()) << "no menu came";
    EXPECT_FALSE(m_bAbout) << "no About box came";
    EXPECT_FALSE(m_bOpenDialog) << "no Open dialog came";
    m_answers.clear();
    m_menuPick.clear();
    m_bAbout = m_bOpenDialog = false;
}

void CSession::Settle()
{
    // Posted messages are handled in order: once a mark posted after them is set, they are done.
    // The list's hover time serves; the list does not track the mouse, and the dialog never
    // reads it.
    const int nFence = PostFence();
    EXPECT_TRUE(WaitUntil([&] { return Fenced(nFence); })) << "the dialog did not handle its input";
}

int CSession::PostFence()
{
    ::PostMessageW(Item(1000), LVM_SETHOVERTIME, 0, ++m_nFence);
    return m_nFence;
}

bool CSession::Fenced(int nFence)
{
    DWORD_PTR dwMark = 0;
    return ::SendMessageTimeoutW(Item(1000), LVM_GETHOVERTIME, 0, 0, SMTO_NORMAL, 5000, &dwMark) &&
           static_cast<int>(dwMark) == nFence;
}

// Enters the field, puts the text in as a paste would, and leaves it for the list.
void CSession::Type(int nID, const std::wstring& text)
{
    Blocking(m_dlg.m_hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(nID)), TRUE);
    Blocking(Item(nID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Blocking(m_dlg.m_hDlg, WM_COMMAND, MAKEWPARAM(nID, EN_CHANGE),
             reinterpret_cast<LPARAM>(Item(nID)));
    Blocking(m_dlg.m_hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(1000)), TRUE);
}

// The store's name of what "expect stored|schemes|current" names; empty for other steps.
std::wstring StoredKey(const std::vector<std::wstring>& w)
{
    if (w.size() < 2 || w[0] != L"expect") return L"";
    if (w[1] == L"schemes") return L"\\Schemes";
    if (w[1] == L"current") return L"\\Current";
    if (w[1] == L"stored" && w.size() > 4) return L"Settings\\" + w[3] + L"\\" + w[2] + L":" + w[4];
    return L"";
}

std::wstring StoredValue(const std::wstring& name)
{
    const StoreMap store = ReadStore();
    const auto it = store.find(name);
    return it == store.end() ? L"<none>" : it->second;
}

// Latin-1: a byte for each character.
std::string Latin1(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

bool CSession::Arrange(const std::vector<std::wstring>& w)
{
    const std::string verb = Utf8(w[0]);
    auto arg = [&w](size_t n) { return n < w.size() ? w[n] : std::wstring(); };
    if (verb == "set") {
        std::wstring key = kStoreKey, name = arg(1), value = w.back();
        DWORD dwType = name == L"schemes" ? REG_MULTI_SZ : REG_SZ;
        if (dwType == REG_MULTI_SZ) {
            name = L"Schemes";
            for (WCHAR& ch : value.append(1, L'\0'))
                if (ch == L'|') ch = L'\0';
        } else if (name != L"current") {
            key += L"\\Settings\\" + arg(2);
            name = arg(1) + L":" + arg(3);
        }
        ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), dwType, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
    } else if (verb == "reg") {
        const HKEY hRoot = arg(1).compare(0, 5, L"HKLM\\") ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        const std::wstring key = arg(1).substr(5), type = arg(3), data = arg(4);
        if (w.size() == 3 && arg(2) == L"delete") {
            m_undo.DeleteKey(hRoot, key);
        } else if (type == L"delete") {
            m_undo.Value(hRoot, key, arg(2));
            ::RegDeleteKeyValueW(hRoot, key.c_str(), arg(2).c_str());
        } else if (type == L"dword" || type == L"qword") {
            const ULONGLONG n = wcstoull(data.c_str(), nullptr, 0);
            m_undo.SetValue(
                hRoot, key, arg(2), type == L"dword" ? REG_DWORD : REG_QWORD,
                std::string(reinterpret_cast<const char*>(&n), type == L"dword" ? 4 : 8));
        } else {
            const Named kTypes[] = {{"sz", REG_SZ},
                                    {"expand", REG_EXPAND_SZ},
                                    {"multi", REG_MULTI_SZ},
                                    {"unterminated", REG_SZ},
                                    {"binary", REG_BINARY}};
            const int nType = Find(kTypes, Utf8(type));
            EXPECT_NE(nType, -1) << "no registry type " << Utf8(type);
            m_undo.SetValue(hRoot, key, arg(2), static_cast<DWORD>(nType),
                            nType == REG_BINARY ? Latin1(data)
                                                : Bytes(data, type != L"unterminated"));
        }
    } else if (verb == "file" || verb == "file16") {
        m_undo.WriteFile(arg(1), verb == "file" ? Latin1(arg(2)) : Bytes(arg(2), false));
    } else if (verb == "hide") {
        const std::wstring path = arg(1), folder = path.substr(0, path.rfind(L'\\') + 1);
        WIN32_FIND_DATAW fd = {};
        HANDLE hFind = ::FindFirstFileW(path.c_str(), &fd);
        EXPECT_TRUE(hFind != INVALID_HANDLE_VALUE || path.find(L'*') == std::wstring::npos)
            << "nothing to hide";
        std::vector<std::wstring> found;
        for (BOOL b = hFind != INVALID_HANDLE_VALUE; b; b = ::FindNextFileW(hFind, &fd))
            found.push_back(folder + fd.cFileName);
        if (hFind != INVALID_HANDLE_VALUE) ::FindClose(hFind);
        for (const std::wstring& file : found)
            m_undo.Hide(file);
    } else if (verb == "folder") {
        ::CreateDirectoryW(arg(1).c_str(), nullptr);
        m_undo.Then([path = arg(1)] { ::RemoveDirectoryW(path.c_str()); });
    } else if (verb == "copy") {
        m_undo.File(arg(2));
        EXPECT_TRUE(::CopyFileW(arg(1).c_str(), arg(2).c_str(), FALSE)) << "not copied";
    } else if (verb == "defaults") {
        SeedStore(m_undo, Latin1(arg(1)).c_str());
    } else {
        return false;
    }
    return true;
}

void CSession::Run(const std::vector<std::wstring>& w)
{
    const std::string verb = Utf8(w[0]);
    auto arg = [&w](size_t n) { return n < w.size() ? w[n] : std::wstring(); };
    auto number = [&](size_t n) { return _wtoi(arg(n).c_str()); };
    m_nSteps++;
    if (Arrange(w)) return;
    const auto custom = m_custom.find(verb);
    if (!m_bOpened && (custom == m_custom.end() || custom->second.bDialog)) {
        m_bOpened = true;
        ASSERT_TRUE(m_dlg.Open()) << "the dialog did not open";
    }
    if (custom != m_custom.end()) {
        custom->second.run(m_dlg, m_undo, w);
        return;
    }
    if (verb == "restart") {
        m_dlg.Close();
        ASSERT_TRUE(m_dlg.Open()) << "the dialog did not open again";
        return;
    }
    if (verb == "expect" && arg(1) == L"closed") {
        EXPECT_TRUE(WaitUntil([this] { return !::IsWindow(m_dlg.m_hDlg); })) << "still open";
        return;
    }
    if (verb == "expect" && (arg(1) == L"stored" || arg(1) == L"schemes" || arg(1) == L"current")) {
        EXPECT_EQ(Utf8(StoredValue(StoredKey(w))), Utf8(w.back()));
        return;
    }
    if (verb == "expect" && arg(1) == L"tray") {
        DWORD dwFlag = 0, cb = sizeof(dwFlag);
        const bool bFlag = !::RegGetValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot",
                                           RRF_RT_REG_DWORD, nullptr, &dwFlag, &cb);
        EXPECT_EQ(bFlag ? std::to_string(dwFlag) : "none", Utf8(arg(2)));
        // Running: its window has come. Stopped: no process of it is left, nor was one started,
        // which the step would see at once, the program being started before Apply returns.
        const bool bRunning = arg(3) == L"running";
        EXPECT_TRUE(WaitUntil([bRunning] {
            return bRunning ? !!::FindWindowW(nullptr, L"Quelda Kivora System Tray Window")
                            : ProcessesNamed(L"ZRQKVKSYSTEMTRAY.EXE").empty();
        })) << "the tray program is not "
            << Utf8(arg(3));
        return;
    }
    ASSERT_TRUE(::IsWindow(m_dlg.m_hDlg)) << "the dialog has gone";
    if (verb == "row") {
        const RECT rc = RemoteItemRect(number(1));
        const LPARAM lPoint = MAKELPARAM(rc.left + 4, (rc.top + rc.bottom) / 2);
        ::PostMessageW(Item(1000), WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
        ::PostMessageW(Item(1000), WM_LBUTTONUP, 0, lPoint);
        Settle();
    } else if (verb == "name" || verb == "target") {
        Type(verb == "name" ? 1001 : 1005, arg(1));
    } else if (verb == "box") {
        Blocking(Item(1048), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(1).c_str()));
    } else if (verb == "scheme") {
        DWORD_PTR nIndex = 0;
        ::SendMessageTimeoutW(Item(1048), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(arg(1).c_str()), SMTO_NORMAL, 10000,
                              &nIndex);
        ASSERT_NE(static_cast<int>(nIndex), CB_ERR) << "not in the box: " << Utf8(arg(1));
        Blocking(Item(1048), CB_SETCURSEL, nIndex, 0);
        Blocking(m_dlg.m_hDlg, WM_COMMAND, MAKEWPARAM(1048, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(1048)));
    } else if (verb == "key") {
        const int nKey = Find(kKeys, Utf8(arg(1)));
        ASSERT_TRUE(nKey != -1 || arg(1).size() == 1) << "no key called " << Utf8(arg(1));
        const WORD wVk = static_cast<WORD>(nKey != -1 ? nKey : towupper(arg(1)[0]));
        if (wVk == VK_ESCAPE || wVk == VK_TAB) {
            // Through the dialog's loop, which turns them into its commands; Tab from the control
            // that has the focus.
            const HWND hFocus = FocusOf(m_dlg.m_dwThread);
            PostKey(wVk == VK_TAB && hFocus ? hFocus : Item(1000), wVk);
            if (wVk == VK_TAB) Settle();
        } else {
            Blocking(Item(1000), WM_KEYDOWN, wVk, 1);
            Blocking(Item(1000), WM_KEYUP, wVk, 0xC0000001);
        }
    } else if (verb == "press") {
        Blocking(Item(ItemOf(arg(1))), BM_CLICK, 0, 0);
    } else if (verb == "answer") {
        m_answers.push_back(Find(kAnswers, Utf8(arg(1))));
        ASSERT_NE(m_answers.back(), -1) << "no such answer";
    } else if (verb == "open") {
        m_openPath = arg(1);
        m_bOpenDialog = true;
    } else if (verb == "menu") {
        m_menuPick = arg(1);
        Blocking(Item(3), BM_CLICK, 0, 0, true);
    } else if (verb == "system") {
        // The item's command, as the system menu sends it when the item is picked.
        const HMENU hMenu = ::GetSystemMenu(m_dlg.m_hDlg, FALSE);
        UINT nCommand = 0;
        m_menuItems.clear();
        for (int n = 0; n < ::GetMenuItemCount(hMenu); n++) {
            WCHAR szText[64] = {};
            ::GetMenuStringW(hMenu, n, szText, ARRAYSIZE(szText), MF_BYPOSITION);
            const bool bGrey = ::GetMenuState(hMenu, n, MF_BYPOSITION) & MF_GRAYED;
            m_menuItems += (n ? L"|" : L"") + std::wstring(*szText ? szText : L"-") +
                           (bGrey ? L" (grey)" : L"");
            if (arg(1) == szText && !bGrey) nCommand = ::GetMenuItemID(hMenu, n);
        }
        if (arg(1) == L"-") return;
        ASSERT_NE(nCommand, 0u) << "no enabled item " << Utf8(arg(1));
        Blocking(m_dlg.m_hDlg, WM_SYSCOMMAND, nCommand, 0);
    } else if (verb == "about") {
        m_bAbout = true;
        Blocking(Item(1004), BM_CLICK, 0, 0);
        EXPECT_EQ(Utf8(m_aboutText), Utf8(arg(1)));
    } else if (verb == "drop" || verb == "pass") {
        RECT rc = {};
        ::GetWindowRect(Item(1005), &rc);
        ::SetForegroundWindow(m_dlg.m_hDlg);
        const POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        const std::wstring kind = w.size() > 2 ? arg(1) : L"text", text = w.back();
        DragFormats formats;
        if (kind == L"files") {
            std::vector<std::wstring> files;
            for (size_t n = 0, nBar; n <= text.size(); n = nBar + 1) {
                nBar = std::min(text.find(L'|', n), text.size());
                if (nBar > n) files.push_back(text.substr(n, nBar - n));
            }
            formats.push_back({CF_HDROP, FileList(files)});
        } else if (kind == L"wide") { // CF_TEXT holding UTF-16, as the field itself drags it
            formats.push_back({CF_TEXT, ::Text(text)});
        } else if (kind == L"ansi") { // another program's 8-bit CF_TEXT beside its CF_UNICODETEXT
            const std::string ansi = Utf8(text) + "-8bit";
            formats.push_back({CF_TEXT, GlobalCopy(ansi.c_str(), ansi.size() + 1)});
            formats.push_back({CF_UNICODETEXT, ::Text(text)});
        } else if (kind == L"unterminated") { // CF_UNICODETEXT without its null
            formats.push_back(
                {CF_UNICODETEXT, GlobalCopy(text.c_str(), text.size() * sizeof(WCHAR))});
        } else if (kind == L"junk") {
            const BYTE junk[] = {0xFF, 0xFE, 0x00, 0x01};
            formats.push_back({static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Junk")),
                               GlobalCopy(junk, sizeof(junk))});
            formats.push_back({CF_BITMAP + 100, GlobalCopy(junk, sizeof(junk))});
        } else {
            formats.push_back({CF_UNICODETEXT, ::Text(text)});
        }
        std::thread([&] {
            m_dwEffect = DragFormatsTo(pt, formats, verb == "drop", m_bCtrl);
        }).join();
        m_bCtrl = false;
        Settle();
    } else if (verb == "hold") {
        ASSERT_EQ(Utf8(arg(1)), "Ctrl") << "only Ctrl is held";
        m_bCtrl = true;
    } else if (verb == "expect") {
        const std::string what = Utf8(arg(1));
        if (what == "name" || what == "target" || what == "box" || what == "text") {
            // "text" names the control; the fields have words of their own.
            const bool bNamed = what == "text";
            EXPECT_EQ(w.size(), bNamed ? 4u : 3u) << "one text to expect";
            const int nID = bNamed             ? ItemOf(arg(2))
                            : what == "name"   ? 1001
                            : what == "target" ? 1005
                                               : 1048;
            EXPECT_EQ(Utf8(WindowText(Item(nID))), Utf8(w.back())) << Utf8(arg(bNamed ? 2 : 1));
        } else if (what == "row") {
            EXPECT_EQ(Utf8(ListText(number(2), number(3))), Utf8(arg(4)));
        } else if (what == "selected") {
            DWORD_PTR nSelected = 0;
            ::SendMessageTimeoutW(Item(1000), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                  LVNI_SELECTED, SMTO_NORMAL, 10000, &nSelected);
            EXPECT_EQ(static_cast<int>(nSelected), number(2));
        } else if (what == "enabled" || what == "disabled") {
            for (size_t n = 2; n < w.size(); n++)
                EXPECT_EQ(!!::IsWindowEnabled(Item(ItemOf(w[n]))), what == "enabled") << Utf8(w[n]);
        } else if (what == "checked" || what == "unchecked") {
            DWORD_PTR dwCheck = 0;
            ::SendMessageTimeoutW(Item(ItemOf(arg(2))), BM_GETCHECK, 0, 0, SMTO_NORMAL, 10000,
                                  &dwCheck);
            EXPECT_EQ(dwCheck == BST_CHECKED, what == "checked");
        } else if (what == "items") {
            EXPECT_EQ(Utf8(ComboItems(Item(1048), L"|")), Utf8(arg(2)));
        } else if (what == "asked") {
            std::string asked;
            for (const std::wstring& box : m_asked)
                asked += "\n" + Utf8(box);
            EXPECT_NE(std::find(m_asked.begin(), m_asked.end(), arg(2)), m_asked.end())
                << "not asked: " << Utf8(arg(2)) << "\nasked:" << asked;
        } else if (what == "open") {
            EXPECT_EQ(Utf8(m_openShown), Utf8(arg(2)));
        } else if (what == "effect") {
            const LPCWSTR names[] = {L"none", L"copy", L"move"};
            EXPECT_EQ(Utf8(m_dwEffect < 3 ? names[m_dwEffect] : L"?"), Utf8(arg(2)));
        } else if (what == "menu") { // "...": the items the menu ends with
            std::wstring items = arg(2), shown = m_menuItems;
            if (!items.compare(0, 3, L"...")) {
                items.erase(0, 3);
                shown.erase(0, shown.size() - std::min(items.size(), shown.size()));
            }
            EXPECT_EQ(Utf8(shown), Utf8(items));
        } else if (what == "focus") {
            HWND hFocus = FocusOf(m_dlg.m_dwThread); // the box's edit stands for the box
            if (hFocus && ::GetParent(hFocus) != m_dlg.m_hDlg) hFocus = ::GetParent(hFocus);
            EXPECT_EQ(::GetDlgCtrlID(hFocus), ItemOf(arg(2))) << "focus on " << Utf8(arg(2));
        } else {
            ADD_FAILURE() << "nothing to expect called " << what;
        }
    } else {
        ADD_FAILURE() << "no step called " << verb;
    }
}

} // namespace

std::vector<std::wstring> StoreKeysChecked(const std::string& row)
{
    std::vector<std::wstring> keys;
    for (const std::string& step : Split(row, ';')) {
        const std::wstring key = StoredKey(Words(step));
        if (!key.empty()) keys.push_back(key);
    }
    return keys;
}

namespace {

// Whether a step failed fatally since the test had that many results.
bool FailedFatallySince(int nResults)
{
    const testing::TestResult* pResult =
        testing::UnitTest::GetInstance()->current_test_info()->result();
    for (int i = nResults; i < pResult->total_part_count(); i++)
        if (pResult->GetTestPartResult(i).fatally_failed()) return true;
    return false;
}

// Runs the steps until one fails fatally; whether none did.
bool RunSteps(CSession& session, const std::string& row)
{
    const int nResults =
        testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
    for (const std::string& step : Split(row, ';')) {
        const std::vector<std::wstring> words = Words(step);
        if (words.empty()) continue;
        SCOPED_TRACE(step);
        session.Run(words);
        if (words[0] != L"answer" && words[0] != L"open") session.ExpectNothingPending();
        if (FailedFatallySince(nResults)) return false;
    }
    return true;
}

} // namespace

void RunSession(CDialogUnderTest& dlg, const std::string& row, CUndo* pUndo,
                const CustomSteps& custom)
{
    SCOPED_TRACE(row);
    CUndo undo;
    CSession session(dlg, pUndo ? *pUndo : undo, custom);
    if (RunSteps(session, row) && !session.Opened()) {
        ASSERT_TRUE(dlg.Open()) << "the dialog did not open";
    }
}

void Arrange(const std::string& steps, CUndo& undo, const CustomSteps& custom)
{
    SCOPED_TRACE(steps);
    struct CNoDialog : CDialogUnderTest
    {
        bool Open() override { return false; }
        void Close() override {}
    } none;
    CSession session(none, undo, custom);
    RunSteps(session, steps);
}

std::vector<std::string> TableRows(const char* pszUnixPath)
{
    std::vector<std::string> rows;
    std::vector<std::pair<std::string, std::string>> names;
    std::istringstream lines(ReadAll(WinePath(pszUnixPath).GetString()));
    EXPECT_TRUE(lines.rdbuf()->in_avail()) << "no table " << pszUnixPath;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        for (const auto& name : names)
            for (size_t n = line.find(name.first); n != std::string::npos;
                 n = line.find(name.first, n + name.second.size()))
                line.replace(n, name.first.size(), name.second);
        const size_t nIs = line.find(" = ");
        if (line[0] == '@' && nIs != std::string::npos) {
            names.emplace_back(line.substr(0, nIs), line.substr(nIs + 3));
        } else if (line[0] == ' ' && !rows.empty()) {
            // A row goes on after a step or a column, never in the middle of one.
            const char chLast = rows.back()[rows.back().find_last_not_of(' ')];
            EXPECT_TRUE(chLast == ';' || chLast == '|')
                << "a step runs on into the next line: " << line;
            rows.back() += line;
        } else {
            rows.push_back(line);
        }
    }
    return rows;
}

std::vector<std::string> Columns(const std::string& row)
{
    std::vector<std::string> columns = Split(row, '|');
    for (std::string& column : columns) {
        column.erase(0, column.find_first_not_of(' '));
        column.erase(column.find_last_not_of(' ') + 1);
    }
    return columns;
}

void SeedStore(CUndo& undo, const char* pszDefaults)
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
    if (pszDefaults) {
        const std::wstring service = CConfigServiceStore::ServicePath();
        undo.WriteFile(service.substr(0, service.find_last_of(L'\\') + 1) + L"ButtonDefaults.txt",
                       pszDefaults);
    }
    // The stand-in seeds an empty store when it is made.
    const HRESULT hrInit = ::CoInitialize(nullptr);
    CLSID clsid = {};
    ::CLSIDFromString(L"{BE65CB0E-7D55-11D2-A8A9-444553540000}", &clsid);
    IUnknown* pService = nullptr;
    if (SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     reinterpret_cast<void**>(&pService))))
        pService->Release();
    if (SUCCEEDED(hrInit)) ::CoUninitialize();
}
