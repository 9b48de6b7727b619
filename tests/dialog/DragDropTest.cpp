// The assignment edit as a drop target and a drag source, through real OLE drag and drop: drops
// come from a thread with its own apartment, drags go out under real mouse input.
#include "DialogTest.h"
#include "DragData.h"

#include <atomic>
#include <shlobj.h>

namespace {

// Collects the text dropped on its window, CF_TEXT read as UTF-16 as the field writes it.
class CRecordingTarget : public COleDropTarget
{
public:
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD dwKeyState, POINT) override
    {
        return dwKeyState & MK_CONTROL ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pData, DWORD dwKeyState, POINT pt) override
    {
        return OnDragEnter(pWnd, pData, dwKeyState, pt);
    }
    BOOL OnDrop(CWnd*, COleDataObject* pData, DROPEFFECT, POINT) override
    {
        if (const HGLOBAL hGlobal = pData->GetGlobalData(CF_TEXT)) {
            m_strText = static_cast<LPCWSTR>(::GlobalLock(hGlobal));
            ::GlobalUnlock(hGlobal);
            ::GlobalFree(hGlobal);
        }
        m_nDrops++;
        return TRUE;
    }

    CString m_strText;
    int m_nDrops = 0;
};

class DragDropTest : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ::OleInitialize(nullptr);
        Store();
        Open();
        ::SetWindowPos(m_pDlg->m_hWnd, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(m_pDlg->m_hWnd);
        Pump(m_pDlg->m_hWnd);
    }
    void TearDown() override
    {
        delete m_pDlg;
        m_pDlg = nullptr;
        ::OleUninitialize();
        DialogTest::TearDown();
    }
    HWND Field() const { return m_pDlg->m_edtTitle.m_hWnd; }
    static POINT Centre(HWND hWnd)
    {
        RECT rc = {};
        ::GetWindowRect(hWnd, &rc);
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    CString FieldText() const
    {
        CString str;
        m_pDlg->m_edtTitle.GetWindowText(str);
        return str;
    }
    // Another apartment drags the formats over the field and drops them (or cancels), while this
    // thread runs the dialog.
    void DragOverField(const DragFormats& formats, bool bDrop = true)
    {
        const POINT pt = Centre(Field());
        std::atomic<bool> bDone(false);
        std::thread source([&] {
            DragFormatsTo(pt, formats, bDrop);
            bDone = true;
        });
        while (!bDone)
            Pump(m_pDlg->m_hWnd, 10);
        source.join();
        Pump(m_pDlg->m_hWnd);
    }
    // Leaves the field, which commits it.
    void LeaveField()
    {
        ::SetFocus(m_pDlg->m_lstButtons.m_hWnd);
        Pump(m_pDlg->m_hWnd);
    }
};

} // namespace

TEST_F(DragDropTest, ADroppedFileShowsItsNameAndBecomesTheTarget)
{
    CButtonSettingsDlg& dlg = *m_pDlg;
    DragOverField({{CF_HDROP, FileList({L"C:\\Tools\\App.exe"})}});
    EXPECT_EQ(FieldText(), L"App.exe");
    EXPECT_EQ(::GetFocus(), Field());
    EXPECT_TRUE(dlg.m_edtTitle.m_dropTarget.m_bDropped);
    LeaveField();
    EXPECT_EQ(dlg.m_strTarget[0], L"C:\\Tools\\App.exe");
    EXPECT_EQ(dlg.m_strAssignTitle[0], L"App.exe");
    EXPECT_FALSE(dlg.m_edtTitle.m_dropTarget.m_bDropped) << "the commit takes the path once";

    // Of three files the last stays; a drive root shows as its drive.
    DragOverField({{CF_HDROP, FileList({L"C:\\a.txt", L"C:\\b.txt", L"D:\\last.doc"})}});
    EXPECT_EQ(FieldText(), L"last.doc");
    EXPECT_EQ(dlg.m_edtTitle.m_dropTarget.m_strDroppedPath, L"D:\\last.doc");
    DragOverField({{CF_HDROP, FileList({L"C:\\"})}});
    EXPECT_EQ(FieldText(), L"C:");

    // A drag that only passes clears the flag: the commit then takes the typed text.
    ASSERT_TRUE(dlg.m_edtTitle.m_dropTarget.m_bDropped);
    DragOverField({{CF_HDROP, FileList({L"C:\\passing.exe"})}}, false);
    EXPECT_FALSE(dlg.m_edtTitle.m_dropTarget.m_bDropped);
    ::SetFocus(Field());
    ::SetWindowTextW(Field(), L"http://typed.example/");
    LeaveField();
    EXPECT_EQ(dlg.m_strTarget[0], L"http://typed.example/");
}

TEST_F(DragDropTest, DroppedTextInBothFormsAndWhatIsNeither)
{
    // CF_TEXT holding UTF-16, as the field itself drags it.
    DragOverField({{CF_TEXT, Text(L"http://gr\x00fc\x00df"
                                  L"e.example/")}});
    EXPECT_EQ(FieldText(), L"http://gr\x00fc\x00df"
                           L"e.example/");
    EXPECT_FALSE(m_pDlg->m_edtTitle.m_dropTarget.m_bDropped);
    // Another program's text: 8-bit CF_TEXT beside CF_UNICODETEXT.
    const char szAnsi[] = "http://ansi.example/";
    DragOverField({{CF_TEXT, GlobalCopy(szAnsi, sizeof(szAnsi))},
                   {CF_UNICODETEXT, Text(L"http://\x65e5\x672c.example/")}});
    EXPECT_EQ(FieldText(), L"http://\x65e5\x672c.example/");
    // Neither files nor text: the field is emptied, and the drop still succeeds.
    const CLIPFORMAT cfJunk = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Junk"));
    DragOverField({{cfJunk, Text(L"junk")}});
    EXPECT_EQ(FieldText(), L"");
}

TEST_F(DragDropTest, TheFieldsTextDraggedOutIsCutMovedOrCopied)
{
    // A drop target beside the dialog (a window that takes mouse hits, as a static does not).
    RECT rcDlg = {};
    ::GetWindowRect(m_pDlg->m_hWnd, &rcDlg);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DropPad";
    ::RegisterClassW(&wc);
    CWnd target;
    ASSERT_TRUE(target.CreateEx(0, L"DropPad", L"", WS_POPUP | WS_VISIBLE | WS_BORDER,
                                rcDlg.right + 20, rcDlg.top, 120, 120, nullptr, nullptr));
    CRecordingTarget recorder;
    ASSERT_TRUE(recorder.Register(&target));

    // The drag loop reads Ctrl from this thread's key state, which the mouse input leaves alone.
    const auto dragTo = [&](HWND hTo, bool bControl) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = bControl ? 0x80 : 0;
        ::SetKeyboardState(keys);
        const POINT from = Centre(Field()), to = Centre(hTo);
        std::atomic<bool> bDone(false);
        std::thread mouse([&] {
            DragMouse(from, to);
            bDone = true;
        });
        while (!bDone)
            Pump(m_pDlg->m_hWnd, 20);
        mouse.join();
        Pump(m_pDlg->m_hWnd, 200);
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
    };

    ::SetWindowTextW(Field(), L"http://a-rather-long-address.example/");
    dragTo(target.m_hWnd, false);
    EXPECT_EQ(recorder.m_nDrops, 1);
    EXPECT_EQ(recorder.m_strText, L"http://a-rather-long-add") << "24 characters";
    EXPECT_EQ(FieldText(), L"") << "a move empties the field";

    ::SetWindowTextW(Field(), L"http://kept.example/");
    dragTo(target.m_hWnd, true);
    EXPECT_EQ(recorder.m_nDrops, 2);
    EXPECT_EQ(recorder.m_strText, L"http://kept.example/");
    EXPECT_EQ(FieldText(), L"http://kept.example/") << "a copy keeps it";

    // Onto the field itself: the text is set and then moved away.
    dragTo(Field(), false);
    EXPECT_EQ(FieldText(), L"");

    recorder.Revoke();
    target.DestroyWindow();
}
