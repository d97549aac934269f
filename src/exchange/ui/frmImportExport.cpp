#include "exchange/ui/frmImportExport.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "common/Version.h"
#include "exchange/RegExport.h"
#include "exchange/RegImport.h"
#include "platform/IClock.h"
#include "platform/IPrompter.h"
#include "widgets/NamedWidgets.h"

namespace th {

frmImportExport::frmImportExport(Context context, QWidget *parent)
    : QDialog(parent)
    , m_ctx(std::move(context))
{
    setObjectName(QStringLiteral("frmImportExport"));
    setWindowTitle(QStringLiteral("Import/Export"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto *grid = new QGridLayout(this);
    lblTo = namedLabel(this, "lblTo", QStringLiteral("Import/Export Current Ebay Item From/To:"));
    lblTo->setWordWrap(true);
    grid->addWidget(lblTo, 0, 0, 1, 3);
    cboImportExport = new QComboBox(this);
    cboImportExport->setObjectName(QStringLiteral("cboImportExport"));
    cboImportExport->setEditable(true);
    cboImportExport->setInsertPolicy(QComboBox::NoInsert);
    cboImportExport->setMinimumWidth(360);
    grid->addWidget(cboImportExport, 1, 0, 1, 2);
    // There are no drive letters to pick from: any folder can be chosen instead.
    cmdChooseFolder = new QToolButton(this);
    cmdChooseFolder->setObjectName(QStringLiteral("cmdChooseFolder"));
    cmdChooseFolder->setText(QStringLiteral("…"));
    cmdChooseFolder->setToolTip(QStringLiteral("Choose a folder"));
    grid->addWidget(cmdChooseFolder, 1, 2);
    cmdExport = new QPushButton(QStringLiteral("&Backup/Export"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdImport = new QPushButton(QStringLiteral("&Restore/Import"), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    grid->addWidget(cmdExport, 2, 0);
    grid->addWidget(cmdImport, 2, 1, 1, 2);
    Label1 = namedLabel(
        this, "Label1", QStringLiteral("PLEASE WAIT until you get a \"Successful Import\" confirmation"));
    Label1->setWordWrap(true);
    grid->addWidget(Label1, 3, 0, 1, 3);
    lblWarning = namedLabel(this, "lblWarning",
        QStringLiteral(
            "Import & Export feature will backup to the same FILENAME -- However, this feature is useful "
            "for backup or when you travel to another location and would like to bring a copy of your "
            "database with you."));
    lblWarning->setWordWrap(true);
    QFont small = lblWarning->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    lblWarning->setFont(small);
    grid->addWidget(lblWarning, 4, 0, 1, 3);

    connect(cmdExport, &QPushButton::clicked, this, &frmImportExport::cmdExport_Click);
    connect(cmdImport, &QPushButton::clicked, this, &frmImportExport::cmdImport_Click);
    connect(cmdChooseFolder, &QToolButton::clicked, this, &frmImportExport::chooseFolder);
    FillFolderList();
}

void frmImportExport::FillFolderList()
{
    cboImportExport->clear();
    if (m_ctx.removableFolders)
        cboImportExport->addItems(m_ctx.removableFolders());
    cboImportExport->addItem(m_ctx.dataFolder);
    if (m_ctx.lastFolder.isEmpty()) {
        cboImportExport->setEditText(m_ctx.dataFolder);
        return;
    }
    if (cboImportExport->findText(m_ctx.lastFolder) < 0)
        cboImportExport->addItem(m_ctx.lastFolder);
    cboImportExport->setEditText(m_ctx.lastFolder);
}

void frmImportExport::tellFolderUsed()
{
    if (m_ctx.folderUsed)
        m_ctx.folderUsed(cboImportExport->currentText().trimmed());
}

QString frmImportExport::filePath() const
{
    return watchListExportPath(cboImportExport->currentText().trimmed());
}

void frmImportExport::chooseFolder()
{
    const QString folder = m_ctx.prompter.existingFolder(
        QStringLiteral("Import/Export Current Ebay Item From/To"), cboImportExport->currentText().trimmed());
    if (!folder.isEmpty())
        cboImportExport->setEditText(folder);
}

void frmImportExport::cmdExport_Click()
{
    const QString path = filePath();
    if (FileExistsAt(path)
        && m_ctx.prompter.message(
               QStringLiteral("There is an existing exported file. Do you want to overwrite?"),
               QStringLiteral("Export: Overwrite Existing File?"), PromptIcon::None, PromptButtons::YesNo)
            != PromptAnswer::Yes)
        return;
    // The backup replaces the old file only once it is complete; a failed one says so and
    // leaves the dialog open for another folder.
    const Result<void> exported = exportWatchList(m_ctx.store, path);
    if (!exported) {
        m_ctx.prompter.message(QStringLiteral("Error (cmdCompact_Click): %1, %2")
                                   .arg(exported.error().code)
                                   .arg(exported.errorMessage()),
            QStringLiteral("Error:"), PromptIcon::None, PromptButtons::Ok);
        return;
    }
    tellFolderUsed();
    m_ctx.prompter.message(QStringLiteral("Export Successfully"), QString::fromLatin1(kProgramTitle),
        PromptIcon::None, PromptButtons::Ok);
    accept();
}

void frmImportExport::cmdImport_Click()
{
    const QString path = filePath();
    if (!FileExistsAt(path)) {
        m_ctx.prompter.message(QStringLiteral("Cancel Operation since there is no required data to import"),
            QStringLiteral("Error: No eBayWatch.reg"), PromptIcon::Critical, PromptButtons::Ok);
        return;
    }
    if (m_ctx.prompter.message(
            QStringLiteral("There is an existing data file ready to import. \nDo you want to Import now?"),
            QStringLiteral("Import: Import File?"), PromptIcon::None, PromptButtons::YesNo)
        != PromptAnswer::Yes) {
        m_ctx.prompter.message(QStringLiteral("No default file to import (eBaywatch.reg)"),
            QStringLiteral("Error: No eBayWatch.reg found"), PromptIcon::Critical, PromptButtons::Ok);
        return;
    }
    cmdImport->setEnabled(false);
    cmdExport->setEnabled(false);
    // The import is written in one go before the list is filled again, so the list shows
    // what the store holds; a file that cannot be read whole changes nothing.
    const Result<ImportSummary> imported = RunRegImport(m_ctx.store, path, m_ctx.clock.now());
    if (!imported) {
        cmdImport->setEnabled(true);
        cmdExport->setEnabled(true);
        m_ctx.prompter.message(
            QStringLiteral("Error: %1, %2").arg(imported.error().code).arg(imported.errorMessage()),
            QStringLiteral("Error:"), PromptIcon::None, PromptButtons::Ok);
        return;
    }
    tellFolderUsed();
    if (m_ctx.reloadList)
        m_ctx.reloadList();
    m_ctx.prompter.message(QStringLiteral("Successful Import"), QString::fromLatin1(kProgramTitle),
        PromptIcon::Information, PromptButtons::Ok);
    // What the import deleted, left out or had to guess is not hidden behind the success.
    if (const QString notes = importNotes(imported.value()); !notes.isEmpty())
        m_ctx.prompter.message(importReport(imported.value(), QDir::toNativeSeparators(path)),
            QString::fromLatin1(kProgramTitle), PromptIcon::Information, PromptButtons::Ok);
    accept();
}

} // namespace th
