#pragma once

#include <functional>

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace th {

class IClock;
class IPrompter;
class RegistryStore;

// "Import/Export": backs the watch list up to eBayWatch.reg in a folder the user picks, and
// restores it from there. Modal, made for each use.
class frmImportExport final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmImportExport)

public:
    struct Context {
        RegistryStore &store;
        IPrompter &prompter;
        IClock &clock; // dates the copy of the store taken before a restore
        QString dataFolder; // the default folder
        // The folders of the removable media mounted now.
        std::function<QStringList()> removableFolders;
        // After a restore has been written to the store: the list is emptied and filled again.
        std::function<void()> reloadList;
        // The folder of the last backup or restore, offered first; empty when there was none.
        QString lastFolder;
        // Told the folder of each backup or restore that succeeded.
        std::function<void(const QString &folder)> folderUsed;
    };

    explicit frmImportExport(Context context, QWidget *parent = nullptr);

    // The folder list: removable media first, then the data folder, which is the default
    // unless a folder was used before: that one is offered instead.
    void FillFolderList();
    void cmdExport_Click();
    void cmdImport_Click();

    QLabel *lblTo = nullptr;
    QComboBox *cboImportExport = nullptr;
    QToolButton *cmdChooseFolder = nullptr;
    QPushButton *cmdExport = nullptr;
    QPushButton *cmdImport = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblWarning = nullptr;

private:
    QString filePath() const;
    void chooseFolder();
    void tellFolderUsed();

    Context m_ctx;
};

} // namespace th
