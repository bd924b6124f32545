#pragma once
// The Add dialog: proposes the next Global ID and collects the entry's fields; the document
// numbers the entry within its group and appends its row (two rows where it adds twins).
#include <QDialog>
#include <QString>
#include <memory>

class EntryHost;
class DialogBuilder;

class CAddDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAddDlg(EntryHost* host);
    ~CAddDlg() override;

    bool m_bFillFields = false;
    QString m_strGroupName;
    QString m_strText;
    int m_nGlobalId = 0;

    QWidget* Control(int id) const;
    // Data exchange: FillFields when m_bFillFields is set (and clears it), else ReadFields.
    // False when a field failed its check (the user was told).
    bool UpdateData();

    void OnOK();
    void reject() override;  // OnCancel

protected:
    void showEvent(QShowEvent* event) override;  // the first show runs OnInitDialog
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    bool ReadFields();
    void FillFields();
    EntryHost* m_pHost;
    std::unique_ptr<DialogBuilder> m_pBuilder;
    bool m_bInitDone = false;
    bool m_bIdReserved = false;  // OnInitDialog had the document raise the last Global ID; Cancel lowers it
};
