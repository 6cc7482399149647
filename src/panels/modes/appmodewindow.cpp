#include "panels/modes/appmodewindow.h"
#include "base/windownames.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tvk {

void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        event->accept();
    else
        QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

namespace {

QRadioButton *option(const char *name, const char *tip, QWidget *parent)
{
    auto *b = new QRadioButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromLatin1(tip));
    return b;
}

ClickableLabel *optionLabel(const char *name, const char *text, const char *tip, QWidget *parent)
{
    auto *l = new ClickableLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setToolTip(QString::fromLatin1(tip));
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

} // namespace

AppModeWindow::AppModeWindow(const PanelContext &context, AppShell &shell)
    : Panel(context, win::frmAppMode, QStringLiteral("Select Application Mode"))
    , m_shell(shell)
{
    auto *frame = new QGroupBox(QStringLiteral("Mode"), this);
    frame->setObjectName(QStringLiteral("frameMode"));
    m_user = option("optUser", "Select User Mode, allows normal adjustments.", frame);
    m_service = option("optService", "Service mode allows timing setups", frame);
    m_factory = option("optFactory", "Configure ALL parameters", frame);
    auto *lblUser = optionLabel("lblUser", "Installation", "Select User Mode", frame);
    auto *lblService = optionLabel("lblService", "Maintenance*", "Select Maintenance Mode", frame);
    auto *lblFactory = optionLabel("lblFactory", "Factory*", "Select Factory Mode", frame);
    m_user->setChecked(true);
    // The buttons' captions are the labels beside them: screen readers get
    // them as the buttons' names.
    m_user->setAccessibleName(QStringLiteral("Installation mode"));
    m_service->setAccessibleName(QStringLiteral("Maintenance mode, password required"));
    m_factory->setAccessibleName(QStringLiteral("Factory mode, password required"));

    auto *grid = new QGridLayout(frame);
    grid->addWidget(m_user, 0, 0);
    grid->addWidget(lblUser, 0, 1);
    grid->addWidget(m_service, 1, 0);
    grid->addWidget(lblService, 1, 1);
    grid->addWidget(m_factory, 2, 0);
    grid->addWidget(lblFactory, 2, 1);
    grid->setColumnStretch(1, 1);

    auto *explain = new QLabel(QStringLiteral("* = Password Required"), this);
    explain->setObjectName(QStringLiteral("lblExplain"));

    QPushButton *ok =
        makeButton(QStringLiteral("btnOK"), QStringLiteral("OK"), QStringLiteral("Enter the selection."));
    ok->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(explain);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    connect(ok, &QPushButton::clicked, this, &AppModeWindow::okPressed);
    // Maintenance and Factory act at once; Installation waits for OK.
    connect(m_service, &QRadioButton::clicked, this, &AppModeWindow::okPressed);
    connect(m_factory, &QRadioButton::clicked, this, &AppModeWindow::okPressed);
    connect(lblUser, &ClickableLabel::clicked, this, [this] { m_user->setChecked(true); });
    connect(lblService, &ClickableLabel::clicked, this, [this] {
        m_service->setChecked(true);
        okPressed();
    });
    connect(lblFactory, &ClickableLabel::clicked, this, [this] {
        m_factory->setChecked(true);
        okPressed();
    });
}

void AppModeWindow::activate()
{
    switch (m_shell.AppMode()) {
    case UserMode:
        m_user->setChecked(true);
        break;
    case ServiceMode:
        m_service->setChecked(true);
        break;
    case FactoryMode:
        m_factory->setChecked(true);
        break;
    default:
        break;
    }
}

int AppModeWindow::selectedMode() const
{
    if (m_service->isChecked())
        return ServiceMode;
    if (m_factory->isChecked())
        return FactoryMode;
    return UserMode;
}

void AppModeWindow::okPressed()
{
    switch (m_shell.ModeDialogOk(selectedMode())) {
    case AppShell::ModeRequest::ModeSet:
        hidePanel();
        break;
    case AppShell::ModeRequest::PasswordNeeded:
        m_ctx.windows.openWindow(win::frmPassword);
        break;
    case AppShell::ModeRequest::Unchanged:
        break;
    }
}

void AppModeWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        okPressed();
        return;
    }
    Panel::keyPressEvent(event);
}

} // namespace tvk
