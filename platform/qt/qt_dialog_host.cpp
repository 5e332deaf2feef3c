// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_dialog_host.h"

#include "catalogue/windows1252.h"
#include "platform/call_depth.h"
#include "platform/qt/focus_ring_style.h"
#include "platform/qt/form_builder.h"
#include "platform/qt/menu_resource.h"
#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_pictures.h"
#include "platform/qt/qt_text.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QPaintEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <new>

namespace meridal::platform::qt {

// The window itself: a QDialog that leaves closing to its controller.
class HostWindow final : public QDialog {
  public:
    explicit HostWindow(QWidget* parent) : QDialog(parent) {}

    void setHost(QtDialogHost* host) { m_host = host; }

    void reject() override
    {
        // Escape: the Cancel button where the window has one, else the close message; the
        // controller decides whether the window ends.
        if (m_host && m_host->m_controller && m_host->control(cancelId)) {
            m_host->notify(cancelId, Notification::Clicked);
            return;
        }
        if (!m_host || !m_host->closeRequested())
            QDialog::reject();
    }

    void accept() override
    {
        // Nothing in this window accepts it; it ends only through its controller.
        if (!m_host || !m_host->m_controller)
            QDialog::accept();
    }

  protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (m_host && m_host->m_controller) {
            event->ignore();
            m_host->closeRequested();
            return;
        }
        QDialog::closeEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            // Enter clicks the OK button where the window has one, and never ends it otherwise.
            event->accept();
            if (m_host && m_host->m_controller && m_host->control(okId))
                m_host->notify(okId, Notification::Clicked);
            return;
        }
        QDialog::keyPressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        QDialog::mouseMoveEvent(event);
        if (m_host && m_host->m_controller)
            m_host->handle([this] { m_host->m_controller->onSetCursor(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_host)
            return false;
        if (m_host->filterEvent(watched, event))
            return true;
        const QVariant id = watched->property("controlId");
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut: {
            // An edit field is told once that it gained the focus and once that it lost it. A
            // menu opening over the field leaves the keyboard focus where it is; a dialog that
            // shows gives its first focus twice, on its own and as its window activates.
            const bool gained = event->type() == QEvent::FocusIn;
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::PopupFocusReason || !qobject_cast<QLineEdit*>(watched) ||
                gained == (m_focusedEdit == watched))
                break;
            m_focusedEdit = gained ? watched : nullptr;
            m_host->notify(id.toInt(), gained ? Notification::FocusGained : Notification::FocusLost);
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                qobject_cast<QLabel*>(watched) && watched->property("notify").toBool())
                m_host->notify(id.toInt(), Notification::Clicked);
            break;
        default:
            break;
        }
        return false;
    }

  private:
    static constexpr int okId = 1;
    static constexpr int cancelId = 2;
    QtDialogHost* m_host = nullptr;
    QPointer<QObject> m_focusedEdit; // the edit field last told that it has the focus
};

namespace {

int intProperty(const QObject& object, const char* name, int absent = 0)
{
    const QVariant value = object.property(name);
    bool ok = false;
    const int number = value.toInt(&ok);
    return value.isValid() && ok ? number : absent;
}

// Fills `menu` with the entries of a menu resource, submenus included; `bindItem` is handed
// each item's action with its entry.
void addMenuItems(QMenu& menu, const std::vector<MenuEntry>& entries,
                  const std::function<void(QAction*, const MenuEntry&)>& bindItem)
{
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Separator:
            menu.addSeparator();
            break;
        case MenuEntry::Kind::Popup:
            addMenuItems(*menu.addMenu(toQString(entry.text)), entry.children, bindItem);
            break;
        case MenuEntry::Kind::Item: {
            QAction* action = menu.addAction(toQString(entry.text));
            action->setCheckable(entry.checkable);
            action->setChecked(entry.checked);
            bindItem(action, entry);
            break;
        }
        }
    }
}

} // namespace

QtDialogHost::QtDialogHost(const Resources& resources, unsigned layoutId, QWidget* parent)
    : m_resources(&resources)
{
    const auto layout = resources.find(res::typeDialog, layoutId);
    if (!layout)
        return;

    // The window's pictures are BMP and PNG, which Qt reads itself. While it is built Qt gets
    // no plugin folder to look in, or the first picture would load every image plugin there
    // is. The style comes first, so that the desktop's own style plugin is still found.
    QApplication::style();
    const QStringList libraryPaths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    build(resources, *layout, parent);
    QCoreApplication::setLibraryPaths(libraryPaths);
    if (!m_window)
        return;
    // The lists and the picture buttons show where the keyboard focus is; their style is a
    // second one of the desktop's kind, made once its plugin can be found again.
    m_focusRings = new FocusRingStyle(m_window);
    for (const auto& [id, widget] : m_widgets) {
        const bool picture =
            qobject_cast<QAbstractButton*>(widget) && intProperty(*widget, "bitmapResource") > 0;
        if (picture || qobject_cast<QListWidget*>(widget))
            widget->setStyle(m_focusRings);
    }
}

void QtDialogHost::build(const Resources& resources, std::string_view layout, QWidget* parent)
{
    HostWindow* made = nullptr;
    FormBuilder builder;
    builder.createTop = [&made](const QString& className, QWidget* parentWidget) -> QWidget* {
        if (className != QLatin1String("QDialog"))
            return nullptr;
        made = new HostWindow(parentWidget);
        return made;
    };
    QWidget* top =
        builder.build(QByteArrayView(layout.data(), static_cast<qsizetype>(layout.size())), parent);
    if (!top || top != made) {
        qWarning("The window cannot be built from its layout: %s",
                 qUtf8Printable(top ? QStringLiteral("the top widget is no dialog") : builder.error));
        delete top;
        return;
    }
    m_window = made;
    m_window->setHost(this);
    m_messageBoxes = QtMessageBoxes(m_window);
    m_desktop.setContext(m_window);
    // The pointer is followed for the cursor over the window, pressed or not.
    m_window->setMouseTracking(true);
    // Shift+F10 asks for the context menu from the keyboard, as the Menu key does.
    auto* contextKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), m_window);
    contextKey->setContext(Qt::WindowShortcut);
    QObject::connect(contextKey, &QShortcut::activated, m_window, [this] { keyboardContextMenu(); });

    bindControls(resources);
    if (const int icon = intProperty(*m_window, "iconResource"))
        m_window->setWindowIcon(loadIcon(resources, static_cast<unsigned>(icon)));
    if (const int menu = intProperty(*m_window, "menuResource"))
        buildMenuBar(resources, static_cast<unsigned>(menu));
}

QtDialogHost::~QtDialogHost()
{
    m_controller = nullptr;
    for (auto& [id, timer] : m_timers)
        delete timer;
    m_timers.clear();
    m_listBoxes.clear();
    m_lists.clear();
    m_edits.clear();
    m_texts.clear();
    if (m_window) {
        m_window->setHost(nullptr);
        delete m_window.data();
    }
}

void QtDialogHost::bindControls(const Resources& resources)
{
    for (QWidget* widget : m_window->findChildren<QWidget*>()) {
        const int id = intProperty(*widget, "controlId", -1);
        if (id < 0)
            continue;
        m_widgets[id] = widget;

        const bool sorted = widget->property("sorted").toBool();
        // Context menus and tooltips of every control reach the window's filter, also those
        // that arrive at a list's viewport.
        widget->installEventFilter(m_window);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
            area->viewport()->installEventFilter(m_window);
        widget->setMouseTracking(true);

        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            m_lists[id] = std::make_unique<QtComboList>(*combo, sorted);
            // activated comes from the user only, mouse or keyboard.
            QObject::connect(combo, &QComboBox::activated, m_window,
                             [this, id] { notify(id, Notification::SelectionChanged); });
        } else if (auto* listWidget = qobject_cast<QListWidget*>(widget)) {
            auto listBox = std::make_unique<QtListBox>(*listWidget, m_handling, sorted);
            m_listBoxes.push_back(listBox.get());
            m_lists[id] = std::move(listBox);
            // The program's selections block the list's signals, so what arrives is the user's.
            QObject::connect(listWidget, &QListWidget::itemSelectionChanged, m_window,
                             [this, id] { notify(id, Notification::SelectionChanged); });
            QObject::connect(listWidget, &QListWidget::itemDoubleClicked, m_window,
                             [this, id, listWidget](QListWidgetItem* item) {
                                 notify(id, Notification::DoubleClicked, listWidget->row(item));
                             });
        } else if (auto* lineEdit = qobject_cast<QLineEdit*>(widget)) {
            m_edits[id] = std::make_unique<QtEditField>(
                *lineEdit, [this, id] { notify(id, Notification::TextChanged); });
            QObject::connect(lineEdit, &QLineEdit::textChanged, m_window,
                             [this, id] { notify(id, Notification::TextChanged); });
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            m_texts[id] = std::make_unique<QtTextField>(*label);
            if (label->property("notify").toBool()) {
                // A picture control draws over its whole face: repainting it never needs the
                // window beneath it repainted.
                label->setAttribute(Qt::WA_OpaquePaintEvent);
                label->setAutoFillBackground(true);
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QObject::connect(button, &QAbstractButton::clicked, m_window,
                             [this, id] { notify(id, Notification::Clicked); });
        }
    }

    for (QWidget* widget : m_window->findChildren<QWidget*>()) {
        if (auto* push = qobject_cast<QPushButton*>(widget)) {
            // No button is the window's default: Enter clicks nothing.
            push->setAutoDefault(false);
            push->setDefault(false);
        }
        const int bitmap = intProperty(*widget, "bitmapResource");
        if (bitmap <= 0)
            continue;
        const QPixmap picture = qt::loadBitmap(resources, static_cast<unsigned>(bitmap));
        if (picture.isNull())
            continue;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setPixmap(picture);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setIcon(QIcon(picture));
            button->setIconSize(picture.size());
        }
    }
}

void QtDialogHost::buildMenuBar(const Resources& resources, unsigned menuId)
{
    const auto text = resources.find(res::typeMenu, menuId);
    if (!text)
        return;
    auto* bar = new QMenuBar(m_window);

    // Qt checks a checkable item by itself when it is chosen; here only the program sets
    // check marks (setMenuChecked), so the automatic toggle is undone before the command.
    auto bindItem = [this](QAction* action, const MenuEntry& entry) {
        if (!entry.shortcut.empty())
            action->setShortcut(
                QKeySequence(QString::fromLatin1(entry.shortcut), QKeySequence::PortableText));
        const int id = entry.id;
        QObject::connect(action, &QAction::triggered, m_window, [this, action, id](bool checked) {
            if (action->isCheckable())
                action->setChecked(!checked);
            command(id);
        });
        m_actions.emplace(id, action);
    };
    for (const MenuEntry& top : parseMenuResource(*text)) {
        if (top.kind == MenuEntry::Kind::Popup)
            addMenuItems(*bar->addMenu(toQString(top.text)), top.children, bindItem);
    }

    if (QLayout* layout = m_window->layout())
        layout->setMenuBar(bar);
}

bool QtDialogHost::initialise(DialogController& controller)
{
    m_controller = &controller;
    m_ended = false;
    m_result = 0;
    controller.onAttach(*this);
    bool initialised = false;
    handle([&] { initialised = controller.onInitDialog(); });
    if (!initialised && !m_ended) {
        m_ended = true;
        m_result = -1;
    }
    return !m_ended;
}

int QtDialogHost::exec(DialogController& controller)
{
    if (!m_window)
        return -1;
    if (initialise(controller)) {
        m_running = true;
        m_result = m_window->exec();
        m_running = false;
    }
    m_controller = nullptr;
    return m_result;
}

bool QtDialogHost::open(DialogController& controller)
{
    if (!m_window || !initialise(controller)) {
        m_controller = nullptr;
        return false;
    }
    m_running = true;
    m_window->show();
    return true;
}

QDialog* QtDialogHost::window() const
{
    return m_window.data();
}

QWidget* QtDialogHost::control(int id) const
{
    const auto it = m_widgets.find(id);
    return it == m_widgets.end() ? nullptr : it->second;
}

QAction* QtDialogHost::menuAction(int commandId) const
{
    const auto it = m_actions.find(commandId);
    return it == m_actions.end() ? nullptr : it->second;
}

ListControl* QtDialogHost::list(int id)
{
    const auto it = m_lists.find(id);
    return it == m_lists.end() ? nullptr : it->second.get();
}

EditField* QtDialogHost::edit(int id)
{
    const auto it = m_edits.find(id);
    return it == m_edits.end() ? nullptr : it->second.get();
}

TextField* QtDialogHost::text(int id)
{
    const auto it = m_texts.find(id);
    return it == m_texts.end() ? nullptr : it->second.get();
}

void QtDialogHost::close()
{
    closeRequested();
}

void QtDialogHost::endDialog(int result)
{
    m_ended = true;
    m_result = result;
    if (m_running && m_window) {
        m_running = false;
        m_window->done(result);
    }
}

void QtDialogHost::setMenuChecked(int commandId, bool checked)
{
    if (QAction* action = menuAction(commandId))
        action->setChecked(checked);
}

namespace {

// The text of a failure that reached the host, on one line of standard error. Nothing here
// allocates: the failure may be a lack of memory.
void tellStandardError(const char* what)
{
    std::cerr << "meridal: ";
    for (const char* at = what; *at != '\0'; ++at)
        std::cerr.put(*at == '\n' || *at == '\r' ? ' ' : *at);
    std::cerr << std::endl;
}

} // namespace

template <typename Call> void QtDialogHost::handle(Call call)
{
    // Controllers report their own failures; should one still let an exception go, or the
    // lists fail while they catch up with it, it ends here with the same report rather than
    // in Qt's event loop.
    int error = 0;
    try {
        {
            const CallDepth depth(m_handling);
            call();
        }
        if (m_handling == 0)
            syncLists();
    } catch (const std::bad_alloc& failure) {
        error = ENOMEM;
        tellStandardError(failure.what());
    } catch (const std::exception& failure) {
        error = EINVAL;
        tellStandardError(failure.what());
    } catch (...) {
        error = EINVAL;
        tellStandardError("an exception of unknown type");
    }
    if (error == 0)
        return;
    try {
        // The report shows the window's lists as they are.
        syncLists();
    } catch (...) {
        // They stay as they were shown last.
    }
    reportFailure(error);
}

void QtDialogHost::reportFailure(int error)
{
    try {
        std::string caption;
        if (m_resources)
            m_resources->loadString(res::strErrorCaption, caption);
        m_messageBoxesInUse->show(utf8ToWindows1252Lossy(std::strerror(error)), caption, MessageIcon::Error,
                                  MessageButtons::Ok, DefaultButton::First);
    } catch (...) {
        // Nothing more can be told.
    }
}

void QtDialogHost::syncLists()
{
    for (QtListBox* list : m_listBoxes)
        list->sync();
}

void QtDialogHost::notify(int id, Notification notification, int index)
{
    if (m_controller)
        handle([&] { m_controller->onNotify({id, notification, index}); });
}

void QtDialogHost::command(int id)
{
    if (m_controller)
        handle([&] { m_controller->onCommand(id); });
}

bool QtDialogHost::closeRequested()
{
    if (!m_controller)
        return false;
    handle([&] { m_controller->onClose(); });
    return true;
}

void QtDialogHost::setCaption(const std::string& text)
{
    if (m_window)
        m_window->setWindowTitle(toShownQString(text));
}

int QtDialogHost::idOf(const QObject* object) const
{
    for (const QObject* at = object; at && at != m_window; at = at->parent()) {
        const int id = intProperty(*at, "controlId", -1);
        if (id >= 0)
            return id;
    }
    return -1;
}

bool QtDialogHost::filterEvent(QObject* watched, QEvent* event)
{
    if (!m_controller)
        return false;
    switch (event->type()) {
    case QEvent::ContextMenu: {
        auto* request = static_cast<QContextMenuEvent*>(event);
        const int id = idOf(watched);
        // An edit field keeps its own menu (cut, copy, paste).
        if (id < 0 || qobject_cast<QLineEdit*>(control(id)))
            return false;
        const QPoint at = request->globalPos();
        requestContextMenu(control(id), {at.x(), at.y()});
        return true;
    }
    case QEvent::ToolTip: {
        const int id = idOf(watched);
        if (id < 0 || !m_tooltips.count(id))
            return false;
        auto* help = static_cast<QHelpEvent*>(event);
        std::optional<std::string> text;
        handle([&] { text = m_controller->onTooltipText(id); });
        if (text && !text->empty())
            QToolTip::showText(help->globalPos(), toShownQString(*text), static_cast<QWidget*>(watched));
        else
            QToolTip::hideText();
        return true;
    }
    case QEvent::MouseMove:
        handle([&] { m_controller->onSetCursor(); });
        return false;
    case QEvent::KeyPress: {
        // On a list box's selected entry, Enter does what a double click does, and Delete
        // tells the window so.
        auto* key = static_cast<QKeyEvent*>(event);
        auto* listWidget = qobject_cast<QListWidget*>(watched);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!listWidget || !(enter || key->key() == Qt::Key_Delete) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        QListWidgetItem* current = listWidget->currentItem();
        if (!current || !current->isSelected())
            return false;
        notify(idOf(watched), enter ? Notification::DoubleClicked : Notification::DeletePressed,
               listWidget->row(current));
        return true;
    }
    case QEvent::Paint: {
        // A picture control is opaque, so the window beneath never repaints for it: the
        // control's own repaint is the window's paint. The program's own pictures
        // (setPicture) repaint it as well; those are no paint of the window, or showing a
        // picture from the paint handling would never end.
        auto* picture = qobject_cast<QLabel*>(watched);
        if (!picture || !picture->property("notify").toBool())
            return false;
        const auto own = m_programPaints.find(picture);
        QRegion foreign = static_cast<QPaintEvent*>(event)->region();
        if (own != m_programPaints.end()) {
            foreign -= own->second;
            m_programPaints.erase(own);
        }
        if (!foreign.isEmpty())
            handle([&] { m_controller->onPaint(); });
        return false;
    }
    default:
        return false;
    }
}

void QtDialogHost::requestContextMenu(QWidget* widget, Point screen)
{
    const int id = widget ? idOf(widget) : 0;
    handle([&] { m_controller->onContextMenu(id < 0 ? 0 : id, screen); });
}

void QtDialogHost::keyboardContextMenu()
{
    if (!m_controller || !m_window)
        return;
    QWidget* focus = m_window->focusWidget();
    const int id = focus ? idOf(focus) : -1;
    if (id >= 0 && qobject_cast<QLineEdit*>(control(id)))
        return;
    // Where the Menu key puts it: over the current entry of a list, else the control's middle.
    QPoint local = focus ? focus->rect().center() : m_window->rect().center();
    QWidget* origin = focus ? focus : m_window.data();
    if (auto* listWidget = qobject_cast<QListWidget*>(focus)) {
        if (QListWidgetItem* current = listWidget->currentItem()) {
            origin = listWidget->viewport();
            local = listWidget->visualItemRect(current).center();
        }
    }
    const QPoint at = origin->mapToGlobal(local);
    handle([&] { m_controller->onContextMenu(id < 0 ? 0 : id, {at.x(), at.y()}); });
}

bool QtDialogHost::popupMenu(unsigned menuId, Point screen)
{
    if (!m_window || !m_resources)
        return false;
    const auto text = m_resources->find(res::typeMenu, menuId);
    if (!text)
        return false;
    const std::vector<MenuEntry> entries = parseMenuResource(*text);
    const auto first = std::find_if(entries.begin(), entries.end(), [](const MenuEntry& entry) {
        return entry.kind == MenuEntry::Kind::Popup;
    });
    if (first == entries.end())
        return false;

    QMenu menu(m_window);
    std::map<QAction*, int> commands;
    addMenuItems(menu, first->children,
                 [&commands](QAction* action, const MenuEntry& entry) { commands[action] = entry.id; });
    syncLists();
    QAction* chosen = menu.exec(QPoint(screen.x, screen.y));
    if (chosen && commands.count(chosen))
        command(commands[chosen]);
    return true;
}

int QtDialogHost::runDialog(unsigned layoutId, DialogController& controller)
{
    if (!m_resources)
        return -1;
    syncLists();
    QtDialogHost dialog(*m_resources, layoutId, m_window);
    if (m_messageBoxesInUse != &m_messageBoxes)
        dialog.setMessageBoxes(*m_messageBoxesInUse);
    return dialog.exec(controller);
}

bool QtDialogHost::startTimer(int timerId, int milliseconds)
{
    if (!m_window)
        return false;
    stopTimer(timerId);
    auto* timer = new QTimer(m_window);
    timer->setInterval(milliseconds);
    QObject::connect(timer, &QTimer::timeout, m_window, [this, timerId] {
        if (m_controller)
            handle([&] { m_controller->onTimer(timerId); });
    });
    timer->start();
    m_timers[timerId] = timer;
    return true;
}

void QtDialogHost::stopTimer(int timerId)
{
    const auto found = m_timers.find(timerId);
    if (found == m_timers.end())
        return;
    found->second->stop();
    found->second->deleteLater();
    m_timers.erase(found);
}

void QtDialogHost::addTooltip(int controlId)
{
    m_tooltips.insert(controlId);
}

Point QtDialogHost::cursorPosition()
{
    const QPoint at = QCursor::pos();
    return {at.x(), at.y()};
}

namespace {

// The part of a control that its client coordinates count in: a list's viewport.
QWidget* clientArea(QWidget* widget)
{
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
        return area->viewport();
    return widget;
}

} // namespace

Point QtDialogHost::toClient(int controlId, Point screen)
{
    QWidget* widget = controlId == 0 ? m_window.data() : clientArea(control(controlId));
    if (!widget)
        return screen;
    const QPoint local = widget->mapFromGlobal(QPoint(screen.x, screen.y));
    return {local.x(), local.y()};
}

Size QtDialogHost::clientSize(int controlId)
{
    QWidget* widget = controlId == 0 ? m_window.data() : clientArea(control(controlId));
    if (!widget)
        return {};
    return {widget->width(), widget->height()};
}

void QtDialogHost::setCursor(unsigned cursorId)
{
    if (!m_window)
        return;
    QCursor shape(Qt::ArrowCursor);
    if (cursorId != 0 && m_resources) {
        auto found = m_cursors.find(cursorId);
        if (found == m_cursors.end()) {
            QPixmap picture;
            if (auto data = m_resources->find(res::typeCursor, cursorId))
                picture.loadFromData(reinterpret_cast<const uchar*>(data->data()),
                                     static_cast<uint>(data->size()));
            found =
                m_cursors.emplace(cursorId, picture.isNull() ? QCursor(Qt::ArrowCursor) : QCursor(picture))
                    .first;
        }
        shape = found->second;
    }
    // Every control shows the window's choice, the edit fields too.
    m_window->setCursor(shape);
    for (const auto& [id, widget] : m_widgets)
        clientArea(widget)->setCursor(shape);
}

std::optional<Image> QtDialogHost::loadBitmap(unsigned bitmapId)
{
    if (!m_resources)
        return std::nullopt;
    const QImage picture =
        qt::loadBitmap(*m_resources, bitmapId).toImage().convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return std::nullopt;
    Image image(picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            image.set(x, y, row[x] & 0xFFFFFFu);
    }
    return image;
}

void QtDialogHost::setPicture(int controlId, const Image& image)
{
    auto* label = qobject_cast<QLabel*>(control(controlId));
    if (!label || image.width <= 0 || image.height <= 0)
        return;
    QImage picture(image.width, image.height, QImage::Format_RGB32);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < image.width; ++x)
            row[x] = 0xFF000000u | image.at(x, y);
    }
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setPixmap(QPixmap::fromImage(picture));
    m_programPaints[label] += label->rect();
}

bool QtDialogHost::setButtonBitmap(int controlId, unsigned bitmapId)
{
    auto* button = qobject_cast<QAbstractButton*>(control(controlId));
    if (!button || !m_resources)
        return false;
    const QPixmap picture = qt::loadBitmap(*m_resources, bitmapId);
    if (picture.isNull())
        return false;
    button->setIcon(QIcon(picture));
    button->setIconSize(picture.size());
    // The button is the bitmap's size; the layout keeps its place.
    button->setFixedSize(picture.size());
    if (m_focusRings)
        button->setStyle(m_focusRings);
    return true;
}

void QtDialogHost::setFont(int controlId, const std::string& face, int points, int weight)
{
    QWidget* widget = control(controlId);
    if (!widget)
        return;
    QFont font(toQString(face));
    if (points > 0)
        font.setPointSize(points);
    font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    widget->setFont(font);
}

void QtDialogHost::post(std::function<void()> task)
{
    if (!m_window)
        return;
    // Queued to the window's thread; dropped with the window, and once the window has ended.
    QMetaObject::invokeMethod(
        m_window.data(),
        [this, task = std::move(task)] {
            if (m_controller && !m_ended)
                handle(task);
        },
        Qt::QueuedConnection);
}

void QtDialogHost::setFocus(int controlId)
{
    // In a window not shown yet this names the control that takes the focus when it shows.
    if (QWidget* widget = control(controlId))
        widget->setFocus(Qt::OtherFocusReason);
}

MessageResult QtDialogHost::SyncedMessageBoxes::show(const std::string& text, const std::string& caption,
                                                     MessageIcon icon, MessageButtons buttons,
                                                     DefaultButton defaultButton)
{
    m_host.syncLists();
    return m_host.m_messageBoxesInUse->show(text, caption, icon, buttons, defaultButton);
}

} // namespace meridal::platform::qt
