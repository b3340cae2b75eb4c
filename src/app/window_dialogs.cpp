#include "app/window_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>

namespace lirovox::app {

WindowDialogs QtDialogs(QWidget* parent) {
    WindowDialogs d;
    d.ChooseFile = [parent](const FileRequest& r) -> std::string {
        const QString title = QString::fromUtf8(r.Title.c_str());
        const QString filter = QString::fromUtf8(r.Filter.c_str());
        const QString path = r.Kind == FileDialogKind::Open
                                 ? QFileDialog::getOpenFileName(parent, title, QString(), filter)
                                 : QFileDialog::getSaveFileName(parent, title, QString(), filter);
        if (path.isEmpty()) return {};
        return QFile::encodeName(path).toStdString();
    };
    d.Confirm = [parent](const std::string& question) {
        return QMessageBox::question(parent, QStringLiteral("Lirovox"), QString::fromUtf8(question.c_str()),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    };
    d.Message = [parent](const std::string& text) {
        QMessageBox::warning(parent, QStringLiteral("Lirovox"), QString::fromUtf8(text.c_str()));
    };
    return d;
}

}  // namespace lirovox::app
