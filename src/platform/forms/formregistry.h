// SPDX-License-Identifier: MIT
#pragma once
#include "platform/forms/form.h"

#include <QPointer>

namespace zentyr {

// One instance per form kind: a reference to a form that is not loaded creates
// and loads it; unload() destroys it, and the next reference starts from the design values.
template <class F> QPointer<F> &formSlot()
{
    static QPointer<F> slot;
    return slot;
}

// The loaded instance, or nullptr.
template <class F> F *loadedForm()
{
    F *f = formSlot<F>().data();
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

template <class F> void unloadForm()
{
    if (F *f = loadedForm<F>())
        f->unload();
}

} // namespace zentyr
