#pragma once
// The Replace dialog: replaces text in the Text column, in the next matching row or in all.
#include <QDialog>
#include <QString>
#include <memory>
#include <string>

class CQuillmereDlg;
class DialogBuilder;

class CRepDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRepDlg(CQuillmereDlg* parent);
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
    // The two fields as the document's bytes. NoMatch: the search text can occur in no cell
    // (empty, or not storable in this document); Refused: the replacement cannot go into a
    // cell (the user was told).
    enum class Prepared { Ready, NoMatch, Refused };
    Prepared PrepareTexts(std::string& search, std::string& replacement);
    CQuillmereDlg* m_pParent;
    std::unique_ptr<DialogBuilder> m_pBuilder;
};
