#pragma once
// The New Localized Version prompt: asks for a bare file name and stores it, with ".txl" added, in the
// main window's m_strLocFileName.
#include <QDialog>
#include <QString>
#include <memory>

class CQuillmereDlg;
class DialogBuilder;

class CNewloDlg : public QDialog {
    Q_OBJECT
public:
    explicit CNewloDlg(CQuillmereDlg* parent);
    ~CNewloDlg() override;

    QString m_strName;

    QWidget* Control(int id) const;
    void UpdateData(bool save);
    void OnOK();

private:
    CQuillmereDlg* m_pParent;
    std::unique_ptr<DialogBuilder> m_pBuilder;
};
