#include "About.h"

#include "Main.h"
#include "common/Utility.h"
#include "platform/Shell.h"
#include "widgets/EffectLabel.h"
#include "widgets/GradientBackground.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *line(const QString &text,
             const QString &style = QStringLiteral("color: black; font-weight: bold;"))
{
    auto *label = new QLabel(text);
    label->setStyleSheet(style);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

EffectLabel *title(EffectLabel::Effect effect, int depth, const QColor &shadow, const QColor &text)
{
    auto *label = new EffectLabel(QStringLiteral("Quillix"));
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(37);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setEffect(effect, depth, shadow);
    label->setTextColor(text);
    label->setMinimumHeight(58);
    return label;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("How to contact us"));
    setFixedSize(443, 383);
    auto *background = new GradientBackground(this);
    background->setStyle(GradientBackground::AllBlue);
    background->setGeometry(0, 0, 443, 383);

    auto *panel = new QFrame(background);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setStyleSheet(QStringLiteral("QFrame#panel { background: #c0c0c0; }"));
    panel->setObjectName(QStringLiteral("panel"));
    panel->setGeometry(10, 10, 423, 320);
    auto *content = new QVBoxLayout(panel);
    content->setSpacing(2);

    // A grey graduated shadow behind, a black extruded highlight and the aqua letters in front.
    auto *heading = new QGridLayout;
    heading->addWidget(title(EffectLabel::GraduatedShadow, 13, Qt::gray, Qt::transparent), 0, 0);
    heading->addWidget(title(EffectLabel::ExtrudedShadow, 5, Qt::black, Qt::cyan), 0, 0);
    content->addLayout(heading);
    content->addWidget(line(QStringLiteral("Brenmoor Corporation")));
    content->addWidget(line(QStringLiteral("1200 Larkspur Way, Suite 4")));
    content->addWidget(line(QStringLiteral("Fairhaven, OR 97000")));

    auto *products = new QFrame;
    products->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto *productLines = new QVBoxLayout(products);
    productLines->setSpacing(0);
    const char *const productTexts[] = {"Ledgerline - household accounts in one window",
                                        "Fernpost - a mail sorter for busy inboxes",
                                        "Tidewatch - tide tables for the whole coast",
                                        "Quillpad - a notepad that keeps every version",
                                        "Stackyard - disk cleanup for old setup files"};
    for (const char *text : productTexts) {
        auto *product = new QLabel(QString::fromLatin1(text));
        product->setStyleSheet(
            QStringLiteral("font-family: 'Times New Roman'; font-weight: bold; color: black;"));
        productLines->addWidget(product);
    }
    content->addWidget(products);
    content->addWidget(line(QStringLiteral("Go to ") + TfrmMain::webAddress +
                                QStringLiteral(" to check for the latest version."),
                            QStringLiteral("color: red; font-weight: bold;")));
    content->addWidget(line(QStringLiteral("(555) 014-2210") + QStringLiteral(" voice")));
    auto *link =
        line(TfrmMain::webAddress,
             QStringLiteral("color: blue; font-weight: bold; text-decoration: underline;"));
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
    m_link = link;
    content->addWidget(link);

    btOK = new QPushButton(QStringLiteral("OK"), background);
    btOK->setGeometry(110, 343, 90, 28);
    btOK->setDefault(true);
    btHomePage = new QPushButton(QStringLiteral("Brenmoor Home Page"), background);
    btHomePage->setGeometry(210, 343, 150, 28);
    btHomePage->setToolTip(QStringLiteral("Launch your browser to Brenmoor Home Page"));
    btHomePage->setAutoDefault(false);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btHomePage, &QPushButton::clicked, this, &TfrmAbout::btHomePageClick);
    btOK->setFocus();
}

void TfrmAbout::openHomePage()
{
    if (!Shell::current().openUrl(TfrmMain::webAddress))
        showError(QStringLiteral("Couldn't open web browser for home page."));
}

void TfrmAbout::btHomePageClick()
{
    openHomePage();
    accept();
}

void TfrmAbout::keyPressEvent(QKeyEvent *event)
{
    // No button is the cancel button: Esc does nothing here.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

bool TfrmAbout::eventFilter(QObject *watched, QEvent *event)
{
    // As a link does: the left button pressed on it and released over it opens it.
    if (watched == m_link && (event->type() == QEvent::MouseButtonPress ||
                              event->type() == QEvent::MouseButtonRelease)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return true;
        if (event->type() == QEvent::MouseButtonPress) {
            m_linkPressed = true;
            return true;
        }
        const bool over = m_link->rect().contains(mouse->position().toPoint());
        if (m_linkPressed && over)
            openHomePage();
        m_linkPressed = false;
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
