#include "app/AboutBox.h"

#include "app/DeploymentInfo.h"
#include "app/SafeLinks.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

AboutBox::AboutBox(QString appName, QPixmap pixmap, QString bodyText, QWidget* parent)
    : QDialog(parent), _appName(std::move(appName)), _pixmap(std::move(pixmap)),
      _bodyText(std::move(bodyText))
{
    setWindowTitle(QStringLiteral("About ") + _appName);
    _buildUI();
    setFixedSize(sizeHint());
}

void AboutBox::_buildUI()
{
    auto* layout = new QVBoxLayout(this);

    auto* titleRow = new QHBoxLayout();
    auto* pixmapLabel = new QLabel(this);
    pixmapLabel->setPixmap(_pixmap);
    if (!_pixmap.isNull())
        pixmapLabel->setFixedSize(_pixmap.deviceIndependentSize().toSize());
    auto* titleLabel = new QLabel(_appName, this);
    titleLabel->setTextFormat(Qt::PlainText);
    QFont titleFont = font();
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);
    titleRow->addWidget(pixmapLabel);
    titleRow->addWidget(titleLabel, 1);
    layout->addLayout(titleRow);

    layout->addSpacing(10);
    auto* bodyRow = new QHBoxLayout();
    auto* bodyLabel = new QLabel(_bodyText, this);
    bodyLabel->setObjectName(QStringLiteral("aboutBody"));
    bodyLabel->setTextFormat(Qt::RichText);
    bodyLabel->setOpenExternalLinks(false);
    bodyLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(bodyLabel, &QLabel::linkActivated, this, &AboutBox::_linkActivatedSLOT);
    bodyRow->addSpacing(30);
    bodyRow->addWidget(bodyLabel, 1);
    bodyRow->addSpacing(30);
    layout->addLayout(bodyRow);
    layout->addSpacing(10);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

void AboutBox::_linkActivatedSLOT(const QString& link)
{
    openLinkIfSafe(link, true);
}

namespace {

// For a value placed inside a single-quoted attribute: markup escaped, and the quote itself too.
QString attributeText(const char* value)
{
    return QString::fromUtf8(value).toHtmlEscaped().replace(QLatin1Char('\''), QStringLiteral("&#39;"));
}

} // namespace

QString AboutBox::makeApplicationBody()
{
    const QString supportAddress = attributeText(DeploymentInfo::kSupportAddress);
    const QString donationUrl = attributeText(DeploymentInfo::kDonationUrl);
    QString body = QStringLiteral("<p>") + QString::fromUtf8(DeploymentInfo::kDescription);
    body += QStringLiteral("<br><br>Version ") + QStringLiteral(QUORVELL_VERSION) + QStringLiteral(" - ") +
            QString::fromUtf8(DeploymentInfo::kReleaseDate);
    body += QStringLiteral("<br><br>") + QString::fromUtf8(DeploymentInfo::kMakerLine);
    body += QStringLiteral("<br><br>Support Contact: <a href='mailto:") + supportAddress +
            QStringLiteral("'>") + supportAddress + QStringLiteral("</a><br>");
    body += QStringLiteral("<center><a href='") + donationUrl +
            QStringLiteral("'><img src=:/icons/PayPal_DonateNow.png></a></center>");
    return body;
}

void AboutBox::showApplicationAboutBox(QWidget* parent)
{
    QPointer<AboutBox> box =
        new AboutBox(QStringLiteral("Quorvell"), QPixmap(QStringLiteral(":/icons/quorvell_32x32.png")),
                     makeApplicationBody(), parent);
    box->exec();
    if (box) {
        box->setParent(nullptr);
        box->deleteLater();
    }
}
