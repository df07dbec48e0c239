#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

/// The fixed about box: the program's picture and name, a rich-text body and an OK button. Links
/// in the body open in the desktop's browser or mail program (web and mail links only).
/// GUI thread only.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    AboutBox(QString appName, QPixmap pixmap, QString bodyText, QWidget* parent);

    /// The body the Help menu's about box shows: description, version and date, maker, support
    /// contact and the donation button, from the deployment values.
    static QString makeApplicationBody();
    /// Builds the program's about box and runs it modally over the parent, then deletes it.
    static void showApplicationAboutBox(QWidget* parent);

private slots:
    void _linkActivatedSLOT(const QString& link);

private:
    void _buildUI();

    QString _appName;
    QPixmap _pixmap;
    QString _bodyText;
};
