#include "gui/qt_dialogs.h"

#include "gui/qt_convert.h"
#include "gui/qt_window_system.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace bp::gui {

namespace {

QMessageBox::Icon toQtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OKCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::OK:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton toQtButton(MsgAnswer answer) {
    switch (answer) {
    case MsgAnswer::Cancel:
        return QMessageBox::Cancel;
    case MsgAnswer::Yes:
        return QMessageBox::Yes;
    case MsgAnswer::No:
        return QMessageBox::No;
    case MsgAnswer::OK:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

QStringList toNameFilters(const std::string& filter) {
    const QStringList parts = toQt(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        // Descriptions often name their patterns already ("LDraw Files, (*.dat)");
        // Qt adds them itself, from the patterns that really apply.
        QString description = parts[i].trimmed();
        if (const auto open = description.lastIndexOf(QLatin1Char('('));
            open > 0 && description.endsWith(QLatin1Char(')'))) {
            description = description.left(open).trimmed();
            if (description.endsWith(QLatin1Char(',')))
                description.chop(1);
        }
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

namespace {
// Gives the activation back to the window a dialog was over, as a window
// manager would; without one, nothing else does.
void reactivate(QWidget* owner) {
    if (owner && !QApplication::activeWindow())
        owner->window()->activateWindow();
}
} // namespace

MsgAnswer QtDialogs::messageBox(const MessageBoxRequest& request) {
    QWidget* owner = m_windows.dialogParent();
    QMessageBox box(owner);
    box.setWindowTitle(toQt(request.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(withNewlines(request.text));
    // A path in a message can be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.setIcon(toQtIcon(request.icon));
    box.setStandardButtons(toQtButtons(request.buttons));
    if (auto* preferred = qobject_cast<QPushButton*>(box.button(toQtButton(request.defaultButton))))
        box.setDefaultButton(preferred);
    box.exec();
    reactivate(owner);
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return MsgAnswer::OK;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    default:
        break;
    }
    // Closed without a button: as Esc would answer.
    switch (request.buttons) {
    case MsgButtons::OK:
        return MsgAnswer::OK;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Cancel;
    }
}

std::optional<std::string> QtDialogs::fileDialog(const FileDialogRequest& request) {
    QWidget* owner = m_windows.dialogParent();
    QFileDialog dialog(owner, toQt(request.title), toQt(request.initialDir));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save || !request.fileMustExist ? QFileDialog::AnyFile
                                                              : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (request.folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    }
    const QStringList filters = toNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const auto index = std::clamp<qsizetype>(request.filterIndex - 1, 0, filters.size() - 1);
        dialog.selectNameFilter(filters[index]);
    }
    if (!request.fileName.empty())
        dialog.selectFile(toQt(request.fileName));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    reactivate(owner);
    if (!accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return fromQt(dialog.selectedFiles().constFirst());
}

std::optional<Rgb> QtDialogs::colorDialog(Rgb initial) {
    QWidget* owner = m_windows.dialogParent();
    const QColor chosen = QColorDialog::getColor(QColor(initial.r, initial.g, initial.b), owner);
    reactivate(owner);
    if (!chosen.isValid())
        return std::nullopt;
    return Rgb{chosen.red(), chosen.green(), chosen.blue()};
}

} // namespace bp::gui
