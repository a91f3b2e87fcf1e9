#pragma once
// Forms: top-level windows with the event procedures the editor's code is
// written against (load, activate, resize, query-unload, unload, lost focus,
// key down). `Form` is a plain mixin (a class can have only one QObject
// base); `FormWindow<QMainWindow>` or `FormWindow<QWidget>` joins it to a
// window. `FormRef` creates a form on first use, as a first reference does.
#include "app.h"

#include <QCloseEvent>
#include <QEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QShowEvent>
#include <QWidget>

#include <functional>

namespace fr {

class Form {
public:
    virtual ~Form() = default;

    virtual void formLoad() {}
    virtual void formActivate() {}
    virtual void formResize() {}
    virtual void formQueryUnload(bool& cancel) {}
    virtual void formUnload() {}
    virtual void formLostFocus() {}
    // True when the key was handled (it then goes no further).
    virtual bool formKeyDown(int keyCode, int shift) { return false; }

    virtual QWidget* formWidget() = 0;

    // Brings the form to the front and repaints it, as hiding and showing it
    // again would, without unmapping the window.
    void hideAndShow();
};

namespace detail {
// Called when a form's window becomes active or is shown; fires
// formActivate when the form differs from the last active form of the
// program, or was just shown.
void formShown(Form* f);
void formFocusIn(Form* f);
void formGone(Form* f);
} // namespace detail

template <class Base>
class FormWindow : public Base, public Form {
public:
    using Base::Base;
    ~FormWindow() override { detail::formGone(this); }
    QWidget* formWidget() override { return this; }

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        Base::resizeEvent(e);
        if (!(this->windowState() & Qt::WindowMinimized))
            guarded([this] { formResize(); });
    }
    void closeEvent(QCloseEvent* e) override
    {
        bool cancel = false;
        guarded([&] { formQueryUnload(cancel); });
        if (cancel) {
            e->ignore();
            return;
        }
        guarded([this] { formUnload(); });
        e->accept();
    }
    void showEvent(QShowEvent* e) override
    {
        Base::showEvent(e);
        if (!e->spontaneous())
            detail::formShown(this);
    }
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::WindowActivate)
            detail::formFocusIn(this);
        else if (e->type() == QEvent::WindowDeactivate)
            guarded([this] { formLostFocus(); });
        return Base::event(e);
    }
};

// A form created on first use: get() creates it and runs its load handler;
// unload() runs the unload handler and destroys it.
template <class T>
class FormRef {
public:
    using Factory = std::function<T*()>;
    explicit FormRef(Factory make = [] { return new T; }) : make_(std::move(make)) {}
    ~FormRef() { delete form_.data(); }
    FormRef(const FormRef&) = delete;
    FormRef& operator=(const FormRef&) = delete;

    T& get()
    {
        if (!form_) {
            form_ = make_();
            ++loads_;
            form_->formLoad();
        }
        return *form_;
    }
    bool loaded() const { return !form_.isNull(); }
    T* peek() const { return form_.data(); }
    int loads() const { return loads_; }
    void unload()
    {
        if (!form_)
            return;
        T* f = form_.data();
        guarded([f] { f->formUnload(); });
        form_.clear();
        f->hide();
        f->deleteLater();
    }

private:
    Factory make_;
    QPointer<T> form_;
    int loads_ = 0;
};

} // namespace fr
