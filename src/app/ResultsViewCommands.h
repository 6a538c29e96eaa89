#pragma once

#include "model/UniqueResultList.h"
#include "results/LinkCheckManager.h"
#include "results/LinkCheckTarget.h"
#include "results/ResultFinder.h"
#include "results/ResultRows.h"

#include <QPointer>

#include <cstdint>
#include <vector>

class CMarovaneProView;
class CReportCtrl;
class FileDialogRunner;
class FindDialog;
class MessageSink;
class QDialog;
class RefineDialog;
class ResultList;

// The results view's commands that thin out, search and hand on its rows: delete, delete
// duplicate titles or addresses, validate addresses and delete the invalid rows, the modeless
// Find and Refine dialogs and Find Next, copy and copy address, and save address.
//
// Rows are removed from the session list by the cores, then from the control and the view's
// own list in the same order, so all three stay aligned. Every row carries an id that stays
// with it through sorting and deleting and is never given out twice: link checks report by
// it, so a row deleted (or a list replaced) while its address is checked cannot have another
// row marked in its stead.
class ResultsViewCommands : private LinkCheckTarget {
  public:
    ResultsViewCommands(CMarovaneProView& view, ResultList& sessionResults, MessageSink& messages,
                        FileDialogRunner& dialogs);
    ~ResultsViewCommands() override;

    // Carries out one of these commands; false for a command that is not one of them.
    bool OnCommand(int id);

    // Gives the row inserted at item a new id.
    void RowAdded(int item);
    // Forgets the ids of every row.
    void RowsCleared();
    // Stops the link checks; no state arrives after this.
    void StopChecks();

    const LinkCheckManager& LinkChecks() const;
    const ResultFinder& Finder() const;
    // The Find and Refine dialogs last opened, while they are open.
    FindDialog* LastFindDialog() const;
    RefineDialog* LastRefineDialog() const;

  private:
    // A link check's outcome for the row that carries rowId.
    void OnRowState(int32_t rowId, LinkState state) override;

    CReportCtrl& Control() const;
    // The rows as the refine and find cores see them: the session list, the display order and
    // the selection of the control.
    ResultRows CurrentRows() const;
    void RemoveRows(const std::vector<int32_t>& items);
    void RemoveRow(int item);
    void OnDelete();
    void OnDeleteDuplicates(UniqueResultList::KeyKind key);
    // Checks the addresses of the selected rows (every row, deselecting each, with all).
    void OnValidate(bool all);
    void OnDeleteInvalid();
    void OnRefine();
    // Centres a dialog over the window once it is shown and has its size.
    void ShowCentred(QDialog& dialog);
    void OnFind();
    void OnFindNext();
    // Selects the row found at a display position alone and scrolls it into view.
    void ShowFound(const ResultRows& rows, int32_t position);
    void OnCopy();
    void OnCopyAddress();
    void OnSaveAddress();

    CMarovaneProView& m_view;
    ResultList& m_sessionResults;
    MessageSink& m_messages;
    FileDialogRunner& m_dialogs;
    // The row ids, by item index.
    std::vector<int32_t> m_rowIds;
    int32_t m_nextRowId = 0;
    LinkCheckManager m_linkChecks;
    ResultFinder m_finder;
    QPointer<FindDialog> m_findDialog;
    QPointer<RefineDialog> m_refineDialog;
};
