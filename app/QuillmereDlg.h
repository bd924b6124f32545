#pragma once
// The editor window: the entry table, the command buttons and menu, the search row, the
// Localize box and the three view buttons.
#include <QDialog>
#include <QIcon>
#include <QString>
#include <memory>

#include "listview/SortListCtrl.h"

class QRadioButton;
class QCheckBox;
class QLineEdit;
class QMenuBar;
class QAction;
class DialogBuilder;
class UserPrompts;

class CQuillmereDlg : public QDialog {
    Q_OBJECT
public:
    // `prompts` may be null: the window then uses real message boxes and file dialogs.
    explicit CQuillmereDlg(QWidget* parent = nullptr, UserPrompts* prompts = nullptr);
    ~CQuillmereDlg() override;

    // Members the entry and prompt dialogs use.
    QRadioButton* m_radioTextString = nullptr;
    QRadioButton* m_radioGlobalId = nullptr;
    CSortListCtrl* m_list = nullptr;
    QString m_strSearchId;
    QString m_strFileName;
    QString m_strLocFileName;
    bool m_bLocalize = false;
    bool m_bShowBoth = false;
    QString m_strSearchText;
    int m_nSearchPos = 0;
    QIcon m_hIcon;

    UserPrompts& Prompts() { return *m_pPrompts; }
    // Unsaved changes: set by every change of the table, cleared by a read or a save.
    bool IsModified() const { return m_bModified; }
    void SetModified(bool modified);

    // Controls and menu commands by resource id (for the commands and for tests).
    QWidget* Control(int id) const;
    QAction* MenuAction(int id) const;
    QMenuBar* MenuBar() const { return m_pMenuBar; }

    // Data exchange: save = controls to members.
    void DoDataExchange(bool save);

    // Commands.
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnDeleteAll();
    void OnReplace();
    void OnSearch();
    void OnNew();
    void OnOpen();
    void OnNewLocalized();
    void OnOpenLocalized();
    void OnSave();
    void OnSaveAs();
    void OnShowOriginal();
    void OnShowLocalized();
    void OnShowBoth();
    void OnLocalize();
    void OnExit();

    // Asks to save unsaved changes (Yes / No / Cancel); false when the user cancelled or
    // the save failed.
    bool MaybeSave();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void accept() override;

private:
    void OnInitDialog();

    std::unique_ptr<UserPrompts> m_pOwnPrompts;
    UserPrompts* m_pPrompts = nullptr;
    std::unique_ptr<DialogBuilder> m_pBuilder;
    QMenuBar* m_pMenuBar = nullptr;
    bool m_bModified = false;
};
