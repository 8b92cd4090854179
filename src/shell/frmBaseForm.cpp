#include "frmBaseForm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QShowEvent>

namespace {
std::function<void()>& RestoreSlot()
{
    static std::function<void()> h;
    return h;
}
bool gRestoring = false;
bool gMinimizing = false;  // the application is being minimised as a whole
}

void SetApplicationRestoreHandler(std::function<void()> handler) { RestoreSlot() = std::move(handler); }
std::function<void()> ApplicationRestoreHandler() { return RestoreSlot(); }

void ApplicationRestored()
{
    if (gRestoring) return;
    gRestoring = true;
    if (auto h = RestoreSlot()) h();
    gRestoring = false;
}

TBaseForm::TBaseForm(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    // FormCreate
    FInitOnShow = true;
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(13);
    setFont(f);
}

void TBaseForm::SetFormCaption(const QString& caption)
{
    FBaseCaption = caption;
    setWindowTitle(caption);
    UpdateCaption(false);
}

void TBaseForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A spontaneous show is the window system re-showing a window (un-minimising), not a new show.
    if (FInitOnShow && !event->spontaneous()) InitForm();
}

void TBaseForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    auto* e = static_cast<QWindowStateChangeEvent*>(event);
    const bool nowMin = windowState() & Qt::WindowMinimized;
    const bool wasMin = e->oldState() & Qt::WindowMinimized;
    if (nowMin && !wasMin && !gMinimizing && !gRestoring) HandleSysCommandMinimize();
    else if (!nowMin && wasMin && !gMinimizing) ApplicationRestored();
}

void TBaseForm::HandleSysCommandMinimize()
{
    FSavedOnRestore = RestoreSlot();
    SetApplicationRestoreHandler([this] { RestoreAfterMinimize(); });
    gMinimizing = true;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !(w->windowState() & Qt::WindowMinimized)) w->showMinimized();
    if (!(windowState() & Qt::WindowMinimized)) showMinimized();
    gMinimizing = false;
}

void TBaseForm::RestoreAfterMinimize()
{
    FInitOnShow = false;
    const bool wasRestoring = gRestoring;
    gRestoring = true;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && (w->windowState() & Qt::WindowMinimized)) w->showNormal();
    showNormal();
    raise();
    activateWindow();
    gRestoring = wasRestoring;
    SetApplicationRestoreHandler(FSavedOnRestore);
    FInitOnShow = true;
}

void TBaseForm::HandleEnterKey(QWidget* control, QChar& key)
{
    if (key == QChar(13)) {
        FocusNextControl(control);
        key = QChar(0);
    }
}

void TBaseForm::InstallEnterFocus(QWidget* control)
{
    control->installEventFilter(this);
}

bool TBaseForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) && watched->isWidgetType()) {
            QChar key(13);
            HandleEnterKey(static_cast<QWidget*>(watched), key);
            if (key == QChar(0)) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

namespace {
bool IsCandidate(QWidget* w)
{
    if (w->objectName().isEmpty()) return false;
    if (!w->isVisible() || !w->isEnabled()) return false;
    if (!(w->focusPolicy() & Qt::TabFocus)) return false;
    const QString cls = QString::fromLatin1(w->metaObject()->className());
    // Group boxes and panels are containers, never fields.
    if (qobject_cast<QGroupBox*>(w)) return false;
    if (cls.compare(QLatin1String("TGroupBox"), Qt::CaseInsensitive) == 0 ||
        cls.compare(QLatin1String("TPanel"), Qt::CaseInsensitive) == 0 ||
        cls.compare(QLatin1String("QFrame"), Qt::CaseInsensitive) == 0)
        return false;
    return true;
}

QList<QWidget*> TabOrderList(QWidget* window)
{
    QList<QWidget*> list;
    QWidget* w = window;
    for (;;) {
        w = w->nextInFocusChain();
        if (!w || w == window) break;
        if (w->window() == window && (w->focusPolicy() & Qt::TabFocus)) {
            if (list.contains(w)) break;
            list << w;
        }
    }
    return list;
}
}

bool FocusNextControl(QWidget* control)
{
    if (!control) return false;
    QWidget* window = QApplication::activeWindow();
    if (!window) window = control->window();
    const QList<QWidget*> order = TabOrderList(window);
    const int at = order.indexOf(control);
    if (at < 0) return false;
    QWidget* found = nullptr;
    for (int step = 1; step < order.size(); ++step) {
        QWidget* c = order.at((at + step) % order.size());
        if (IsCandidate(c)) {
            found = c;
            break;
        }
    }
    if (!found) return false;
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->view() && combo->view()->isVisible()) {
            const QModelIndex cur = combo->view()->currentIndex();
            if (cur.isValid()) combo->setCurrentIndex(cur.row());
            combo->hidePopup();
        }
    }
    found->setFocus(Qt::TabFocusReason);
    return true;
}
