#pragma once
// The Edit dialog: changes the Group Name and Text of the row at the selection mark.
#include <QDialog>
#include <QString>
#include <memory>

class EntryHost;
class DialogBuilder;

class CEditDlg : public QDialog {
    Q_OBJECT
public:
    explicit CEditDlg(EntryHost* host);
    ~CEditDlg() override;

    bool m_bFillFields = false;
    QString m_strGroupName;
    QString m_strGroupId;
    QString m_strText;

    QWidget* Control(int id) const;
    bool UpdateData();
    void OnOK();

protected:
    void showEvent(QShowEvent* event) override;  // the first show runs OnInitDialog
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    void ReadFields();
    void FillFields();
    EntryHost* m_pHost;
    std::unique_ptr<DialogBuilder> m_pBuilder;
    bool m_bInitDone = false;
};
