#include "app/qt/file_dialog.h"

#include "app/qt/qt_text.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace chengxi::qt {

QString toNameFilters(std::string_view filter) {
    const QStringList parts = toQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns.trimmed()));
    }
    return filters.join(QStringLiteral(";;"));
}

void prepareFileDialog(QFileDialog& box, const ui::FileDialogState& dialog) {
    const bool save = dialog.type == 1;
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    box.setOption(QFileDialog::DontConfirmOverwrite, false);
    box.setWindowModality(Qt::ApplicationModal);
    const QString filters = toNameFilters(dialog.filter);
    if (!filters.isEmpty()) {
        box.setNameFilter(filters);
    }
    QString suffix = toQString(dialog.defaultExtension);
    if (suffix.startsWith(QLatin1Char('.'))) {
        suffix.remove(0, 1);
    }
    box.setDefaultSuffix(suffix);

    const QString lastChosen = toQStringExact(dialog.fileName);
    if (!dialog.initialFolder.empty()) {
        box.setDirectory(toQStringExact(dialog.initialFolder));
        if (!lastChosen.isEmpty()) {
            box.selectFile(QFileInfo(lastChosen).fileName());
        }
    } else if (!lastChosen.isEmpty()) {
        box.selectFile(lastChosen);
    }
}

bool showFileDialog(ui::FileDialogState& dialog) {
    QFileDialog box;
    prepareFileDialog(box, dialog);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) {
        return false;
    }
    dialog.fileName = toUtf8(QDir::toNativeSeparators(box.selectedFiles().constFirst()));
    return true;
}

} // namespace chengxi::qt
