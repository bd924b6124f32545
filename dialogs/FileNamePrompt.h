#pragma once
// A prompt for the name of a new file: the name as typed, with the prompt's extension added
// unless it already ends with it (in any case), goes into one of the main window's file names.
// An empty name (or one of the extension alone) is refused and the prompt stays open.
#include <QDialog>
#include <QString>
#include <memory>

class CQuillmereDlg;
class DialogBuilder;

class CFileNamePrompt : public QDialog {
    Q_OBJECT
public:
    ~CFileNamePrompt() override;

    QString m_strName;

    QWidget* Control(int id) const;
    void UpdateData(bool save);
    void OnOK();

protected:
    // `target` is the member of `parent` that receives the completed name.
    CFileNamePrompt(CQuillmereDlg* parent, int templateId, QString extension, QString CQuillmereDlg::*target);

private:
    CQuillmereDlg* m_pParent;
    QString m_strExtension;
    QString CQuillmereDlg::*m_pTarget;
    std::unique_ptr<DialogBuilder> m_pBuilder;
};
