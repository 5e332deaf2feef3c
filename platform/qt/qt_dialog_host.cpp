#include "platform/qt/qt_dialog_host.h"

#include "platform/qt/form_builder.h"
#include "platform/qt/menu_resource.h"
#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_pictures.h"
#include "platform/qt/qt_text.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace meridal::platform::qt {

// The window itself: a QDialog that leaves closing to its controller.
class HostWindow final : public QDialog {
  public:
    explicit HostWindow(QWidget* parent) : QDialog(parent) {}

    void setHost(QtDialogHost* host) { m_host = host; }

    void reject() override
    {
        // Escape: the close message; the controller decides whether the window ends.
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
            event->accept(); // Enter never ends the window
            return;
        }
        QDialog::keyPressEvent(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_host)
            return false;
        const QVariant id = watched->property("controlId");
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && qobject_cast<QLineEdit*>(watched))
                m_host->notify(id.toInt(), event->type() == QEvent::FocusIn ? Notification::FocusGained
                                                                            : Notification::FocusLost);
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                qobject_cast<QLabel*>(watched))
                m_host->notify(id.toInt(), Notification::Clicked);
            break;
        default:
            break;
        }
        return false;
    }

  private:
    QtDialogHost* m_host = nullptr;
};

namespace {

int intProperty(const QObject& object, const char* name, int absent = 0)
{
    const QVariant value = object.property(name);
    bool ok = false;
    const int number = value.toInt(&ok);
    return value.isValid() && ok ? number : absent;
}

} // namespace

QtDialogHost::QtDialogHost(const Resources& resources, unsigned layoutId, QWidget* parent)
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
    QWidget* top = builder.build(QByteArrayView(layout.data(), static_cast<qsizetype>(layout.size())), parent);
    if (!top || top != made) {
        qWarning("The window cannot be built from its layout: %s",
                 qUtf8Printable(top ? QStringLiteral("the top widget is no dialog") : builder.error));
        delete top;
        return;
    }
    m_window = made;
    m_window->setHost(this);
    m_messageBoxes = QtMessageBoxes(m_window);

    bindControls(resources);
    if (const int icon = intProperty(*m_window, "iconResource"))
        m_window->setWindowIcon(loadIcon(resources, static_cast<unsigned>(icon)));
    if (const int menu = intProperty(*m_window, "menuResource"))
        buildMenuBar(resources, static_cast<unsigned>(menu));
}

QtDialogHost::~QtDialogHost()
{
    m_controller = nullptr;
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

        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            m_lists[id] = std::make_unique<QtComboList>(*combo);
            // activated comes from the user only, mouse or keyboard.
            QObject::connect(combo, &QComboBox::activated, m_window,
                             [this, id] { notify(id, Notification::SelectionChanged); });
        } else if (auto* listWidget = qobject_cast<QListWidget*>(widget)) {
            auto listBox = std::make_unique<QtListBox>(*listWidget, m_handling);
            m_listBoxes.push_back(listBox.get());
            m_lists[id] = std::move(listBox);
            // The program's selections block the list's signals, so what arrives is the user's.
            QObject::connect(listWidget, &QListWidget::itemSelectionChanged, m_window,
                             [this, id] { notify(id, Notification::SelectionChanged); });
            QObject::connect(listWidget, &QListWidget::itemDoubleClicked, m_window,
                             [this, id] { notify(id, Notification::DoubleClicked); });
        } else if (auto* lineEdit = qobject_cast<QLineEdit*>(widget)) {
            m_edits[id] = std::make_unique<QtEditField>(
                *lineEdit, [this, id] { notify(id, Notification::TextChanged); });
            QObject::connect(lineEdit, &QLineEdit::textChanged, m_window,
                             [this, id] { notify(id, Notification::TextChanged); });
            lineEdit->installEventFilter(m_window);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            m_texts[id] = std::make_unique<QtTextField>(*label);
            if (label->property("notify").toBool())
                label->installEventFilter(m_window);
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
        const QPixmap picture = loadBitmap(resources, static_cast<unsigned>(bitmap));
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
    auto addItems = [this](auto& self, QMenu& menu, const std::vector<MenuEntry>& entries) -> void {
        for (const MenuEntry& entry : entries) {
            switch (entry.kind) {
            case MenuEntry::Kind::Separator:
                menu.addSeparator();
                break;
            case MenuEntry::Kind::Popup:
                self(self, *menu.addMenu(toQString(entry.text)), entry.children);
                break;
            case MenuEntry::Kind::Item: {
                QAction* action = menu.addAction(toQString(entry.text));
                if (!entry.shortcut.empty())
                    action->setShortcut(
                        QKeySequence(QString::fromLatin1(entry.shortcut), QKeySequence::PortableText));
                action->setCheckable(entry.checkable);
                action->setChecked(entry.checked);
                const int id = entry.id;
                QObject::connect(action, &QAction::triggered, m_window, [this, action, id](bool checked) {
                    if (action->isCheckable())
                        action->setChecked(!checked);
                    command(id);
                });
                m_actions.emplace(id, action);
                break;
            }
            }
        }
    };
    for (const MenuEntry& top : parseMenuResource(*text)) {
        if (top.kind == MenuEntry::Kind::Popup)
            addItems(addItems, *bar->addMenu(toQString(top.text)), top.children);
    }

    if (QLayout* layout = m_window->layout())
        layout->setMenuBar(bar);
}

bool QtDialogHost::initialise(DialogController& controller)
{
    m_controller = &controller;
    m_ended = false;
    m_result = 0;
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

template <typename Call> void QtDialogHost::handle(Call call)
{
    ++m_handling;
    try {
        call();
    } catch (...) {
        --m_handling;
        syncLists();
        throw;
    }
    if (--m_handling == 0)
        syncLists();
}

void QtDialogHost::syncLists()
{
    for (QtListBox* list : m_listBoxes)
        list->sync();
}

void QtDialogHost::notify(int id, Notification notification)
{
    if (m_controller)
        handle([&] { m_controller->onNotify(id, notification); });
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

MessageResult QtDialogHost::SyncedMessageBoxes::show(const std::string& text, const std::string& caption,
                                                     MessageIcon icon, MessageButtons buttons)
{
    m_host.syncLists();
    return m_host.m_messageBoxesInUse->show(text, caption, icon, buttons);
}

} // namespace meridal::platform::qt
