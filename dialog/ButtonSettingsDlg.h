// CButtonSettingsDlg: the main settings dialog. It shows every button with its assignment and
// edits the current set, which Apply or OK saves as a scheme.
#pragma once

#include "config/OsVersion.h"
#include "config/ButtonConfig.h"
#include "config/ButtonSetting.h"
#include "config/ButtonTable.h"
#include "framework/Afx.h"
#include "res/resource.h"
#include "shell/DropEdit.h"

#include <imm.h>

#include <functional>
#include <memory>

class CButtonSettingsDlg : public CDialog
{
public:
    enum { IDD = IDD_BUTTON_SETTINGS };

    explicit CButtonSettingsDlg(CWnd* pParentWnd = nullptr);

    // The configuration: the button list, the default set, the labels and the icon entries.
    void LoadButtonTable();
    void SetDialogTexts();
    // One setting per position in use under the scheme; the service's current scheme stays.
    void LoadSchemeSettings(const CString& strScheme, COwningPtrList<ButtonSetting>& rList);

    // One value of one position under a scheme; the position is clamped to those in use.
    CString ReadButtonName(const CString& strScheme, int nPos);
    CString ReadButtonTitle(const CString& strScheme, int nPos);
    CString ReadButtonTarget(const CString& strScheme, int nPos);
    // Upper-cased; the service's current scheme is as it was.
    CString ReadButtonLock(const CString& strScheme, int nPos);

    // Relabels the current set and makes one row per position in use.
    void FillButtonList();
    // Rebuilds the small image list: each button's own icon and its target's.
    void RefreshButtonIcons();
    void UpdateEditLock(BOOL bEnable, const CString* pstrScheme = nullptr);
    void EnableDelete(BOOL bEnable);
    void DisableEditing();
    CString GetSelectedSchemeText();

    // Saving: the current set under m_strCurScheme, never over the default scheme.
    void SaveScheme();
    // 1 when the name was not the list's last entry (it is then added unless it occurs inside
    // the list's text), else 0.
    int AddSchemeIfMissing(const CString& strScheme);
    int RemoveSchemeSettings(const CString& strScheme);
    // Every stored scheme but the maker's to a file the user picks, and back.
    void ExportSchemes();
    void ImportSchemes();

    // The popup of predefined assignments beside the assignment edit.
    void ShowAssignmentMenu();
    // Gives the selected button the predefined assignment of that label.
    void AssignPredefined(const CString& strLabel);

    // What the two edits hold goes into the current set.
    void CommitName();
    void CommitEdits();
    void OnApply();
    void OnOkButton();
    void OnCancel() override;

    // What the About button shows; the configuration flow that opens the dialog sets it.
    std::function<void()> m_showAbout;

    CString m_strKeyIcon[kIconButtons];
    BOOL m_bModified = FALSE;
    BOOL m_bTitleFromMenu = FALSE;
    HIMC m_hSavedIMC;
    std::unique_ptr<CImageList> m_pSmallImages;
    std::unique_ptr<CImageList> m_pLargeImages;
    CString m_strActiveScheme;
    BOOL m_bSchemeRemovable = FALSE;
    int m_nCurSel = 1;
    CString m_strMakerSchemeText;
    CButtonConfig m_config[kMaxButtons];
    int m_nButtonCount = 8;
    HICON m_hIcon;
    CString m_strBrowserPath;

    // The current, previous and default sets, under the names the dialog's code uses.
    CButtonSet m_current, m_previous, m_default;
    CString (&m_strAssignTitle)[kMaxButtons] = m_current.m_strAssignTitle;
    CString (&m_strButtonName)[kMaxButtons] = m_current.m_strButtonName;
    CString (&m_strTarget)[kMaxButtons] = m_current.m_strTarget;
    CString (&m_strLockState)[kMaxButtons] = m_current.m_strLockState;
    CString (&m_strPrevTitle)[kMaxButtons] = m_previous.m_strAssignTitle;
    CString (&m_strPrevName)[kMaxButtons] = m_previous.m_strButtonName;
    CString (&m_strPrevTarget)[kMaxButtons] = m_previous.m_strTarget;
    CString (&m_strPrevLock)[kMaxButtons] = m_previous.m_strLockState;
    CString (&m_strDefaultTarget)[kMaxButtons] = m_default.m_strTarget;
    CString (&m_strDefaultName)[kMaxButtons] = m_default.m_strButtonName;
    CString (&m_strDefaultTitle)[kMaxButtons] = m_default.m_strAssignTitle;
    CString (&m_strDefaultLock)[kMaxButtons] = m_default.m_strLockState;

    CButtonLabels m_labels;
    BOOL m_bSetLock;
    CButtonLayout m_layout; // the help and community variant flags
    DWORD m_bTrayAtBoot = 0;
    COsVersion m_osVersion;

    CButton m_chkTray;
    CButton m_btnApply;
    CComboBox m_cbScheme;
    CListCtrl m_lstButtons;
    CDropEdit m_edtTitle;
    CString m_strEditTitle;
    CString m_strEditName;
    CString m_strCurScheme;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnListClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult);
    void OnListKillFocus(NMHDR* pNMHDR, LRESULT* pResult);
    void OnNameSetFocus();
    void OnTitleSetFocus();
    void OnClose();
    void OnAssignCommand(UINT nID);
    void OnFileBrowse();
    void OnDestroy();
    void OnAbout();
    void OnHelpButton();
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    void OnSchemeSelChange();
    void OnSchemeAdd();
    void OnSchemeDelete();
    void OnSysCommand(UINT nID, LPARAM lParam);

private:
    void AddSchemeFileCommands();
    void FillSchemeBox();
    void LoadCurrentSet();
    // A position clamped to those in use.
    int ClampPosition(int nPos) const;
    // m_nCurSel clamped, and kept so.
    int ClampedSelection();
    CString ReadButtonValue(const CString& strScheme, int nPos, CString (CButtonConfig::*pfnGet)());
    void SelectRow(int nRow);
    void EnableItem(int nID, BOOL bEnable) { ::EnableWindow(::GetDlgItem(m_hWnd, nID), bEnable); }
    void RestoreInputContext();
    // Empty fields of the first nCount positions take the default set's; an empty lock is
    // "UNLOCKED".
    void FillEmptyFields(int nCount);
    // The box's selected scheme becomes the current set; strPrevious is the scheme it replaces.
    void LoadPickedScheme(const CString& strPrevious);
    // What the box's edit field holds, at most 259 characters.
    CString GetSchemeBoxText() const;

    DECLARE_MESSAGE_MAP()
};
