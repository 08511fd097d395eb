// SPDX-License-Identifier: MIT
#pragma once
// The one registry of loaded forms: one instance per kind. A reference to a form that is not loaded
// creates and loads it; unload() destroys it, and the next reference starts from the design values.
// A kind needs load() and isUnloading(): the tray controller, which has no window, is one.
#include <QPointer>

namespace zentyr {

// The instance of a kind, while it exists.
template <class F> QPointer<F> &formSlot()
{
    static QPointer<F> form;
    return form;
}

// The loaded instance, or nullptr.
template <class F> F *loadedForm()
{
    F *f = formSlot<F>();
    return f && !f->isUnloading() ? f : nullptr;
}

// The instance, loading it first when needed.
template <class F> F &loadForm()
{
    if (F *f = loadedForm<F>())
        return *f;
    F *f = new F;
    formSlot<F>() = f;
    f->load();
    return *f;
}

// Shows the form modeless, loading it first when needed.
template <class F> F &showForm()
{
    F &f = loadForm<F>();
    f.showModeless();
    return f;
}

} // namespace zentyr
