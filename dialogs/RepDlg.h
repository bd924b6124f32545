#pragma once
// The Replace dialog: replaces text in the Text column, in the next matching row or in all.
#include <QDialog>
#include <QString>
#include <memory>

class EntryHost;
class DialogBuilder;

class CRepDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRepDlg(EntryHost* host);
    ~CRepDlg() override;

    bool m_bFillFields = false;
    int m_nRow = 0;
    QString m_strSearch;
    QString m_strReplace;

    QWidget* Control(int id) const;
    bool UpdateData();
    void OnReplace();
    void OnReplaceAll();

private:
    void OnInitDialog();
    // False when the replacement cannot go into a cell (the user was told).
    bool CheckReplacement();
    EntryHost* m_pHost;
    std::unique_ptr<DialogBuilder> m_pBuilder;
};
