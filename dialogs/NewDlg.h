#pragma once
// The New prompt: asks for a bare file name and stores it, with ".txr" added, in the
// main window's m_strFileName.
#include <QDialog>
#include <QString>
#include <memory>

class CQuillmereDlg;
class DialogBuilder;

class CNewDlg : public QDialog {
    Q_OBJECT
public:
    explicit CNewDlg(CQuillmereDlg* parent);
    ~CNewDlg() override;

    QString m_strName;

    QWidget* Control(int id) const;
    void UpdateData(bool save);
    void OnOK();

private:
    CQuillmereDlg* m_pParent;
    std::unique_ptr<DialogBuilder> m_pBuilder;
};
