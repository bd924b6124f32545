#pragma once
// The Add dialog: proposes the next Global ID, numbers the entry within its group and
// appends its row (two rows in localize mode) to the main window's table.
#include <QDialog>
#include <QString>
#include <memory>

class CQuillmereDlg;
class DialogBuilder;

class CAddDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAddDlg(CQuillmereDlg* parent);
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
    CQuillmereDlg* m_pParent;
    std::unique_ptr<DialogBuilder> m_pBuilder;
    bool m_bInitDone = false;
    bool m_bIdReserved = false;  // OnInitDialog raised the last Global ID; Cancel lowers it again
};
