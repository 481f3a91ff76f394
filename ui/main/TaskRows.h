#pragma once
// The main window's rows: one per entry, numbered from 1, with the icon of the
// task's path (not of its icon file) at its icon index and the four texts;
// grey, with a tip that says so, when the program or document is gone. Also
// the list's columns and styles. Row n always uses image n.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "core/JumpListAction.h"
#include "ui/ActionIconProvider.h"
#include "ui/main/RowDrag.h"
#include "ui/main/RowIconCache.h"
#include "ui/main/RowImages.h"
#include "win/UniqueHandle.h"

class CTaskRows {
public:
    static constexpr int kColumnCount = 5;
    // Column nColumn's width at nDpi when none is stored.
    static int DefaultColumnWidth(int nColumn, UINT nDpi);

    // Styles the list and inserts the columns, each as wide as columnWidth
    // says for its number and its default width at nDpi. Until RebuildImages,
    // rows are made without their images: they show sooner.
    void Create(HWND hList, UINT nDpi, const std::function<int(int nColumn, int nDefaultWidth)>& columnWidth);
    // Makes the rows show now, where they showed shown (the list of the last
    // refresh), changing only the rows that differ; no row stays selected.
    void Update(const CTaskList& shown, const CTaskList& now);
    // Every row's image again, at the small-icon size of nDpi.
    void RebuildImages(const CTaskList& list, UINT nDpi);
    // Every column as wide as columnWidth says, as at Create.
    void SetColumnWidths(UINT nDpi, const std::function<int(int nColumn, int nDefaultWidth)>& columnWidth);
    // The columns' widths from one DPI to another.
    void ScaleColumns(UINT nOldDpi, UINT nNewDpi);
    // High contrast on or off: the separator's image and the list's colours follow.
    void OnSysColorChange(const CTaskList& list, UINT nDpi);

    // The list's custom draw: missing targets grey, the drag's line after the rows.
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* pDraw, const CRowDrag& drag) const;
    LRESULT OnGetInfoTip(NMLVGETINFOTIPW* pTip) const;

    // The selected row, or -1; how many rows there are.
    int SelectedRow() const;
    int RowCount() const;
    // Scrolls nRow fully into view, focuses the list and selects the row, so
    // that the next command goes on with the same entry.
    void SelectAfterChange(int nRow);

    // Before the list goes: it must not destroy the image list, which is ours.
    void Release();

private:
    // Row n (numbered n + 1, on image n) for task, and a row's texts.
    void InsertTaskRow(int n, const CJumpListAction& task);
    void SetTaskRowTexts(int nRow, const CJumpListAction& task);
    // Row nRow's image from the task's icon.
    void SetRowImage(int nRow, const CJumpListAction& task);
    // Hands the rows' images to the list view as a new image list.
    void InstallRowImages();
    bool IsTargetMissing(int nRow) const;

    HWND m_hList = nullptr;
    CActionIconProvider m_icons;
    // Owned here only: the list view lets go of it before it is destroyed.
    UniqueImageList m_imageList;
    // The rows' images while the rows are rebuilt.
    CRowImages m_rowImages;
    // Per row: what one attribute lookup at the refresh told of its target.
    std::vector<CTargetState> m_arrTargets;
    // The rows' images by (path, icon index), kept for the run.
    CRowIconCache m_rowIcons;
    std::wstring m_strRowNumber;
    bool m_bImagesDeferred = false;
};
