#pragma once
// A prompt for the name of a new file: the name as typed, with the prompt's extension added
// unless it already ends with it (in any case), goes into one of the main window's file names.
// An empty name (or one of the extension alone) is refused and the prompt stays open.
#include <QDialog>
#include <QString>
#include <memory>

class EntryHost;
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
    // `localized`: the name is the host's localized file name, else its text resource file name.
    CFileNamePrompt(EntryHost* host, int templateId, QString extension, bool localized);

private:
    EntryHost* m_pHost;
    QString m_strExtension;
    bool m_bLocalized;
    std::unique_ptr<DialogBuilder> m_pBuilder;
};
