// SPDX-License-Identifier: MIT
#pragma once
// The one registry of loaded forms: one instance per kind. A reference to a form that is not loaded
// creates and loads it; unload() destroys it, and the next reference starts from the design values.
// A kind needs load(), unload() and isUnloading(): the tray controller, which has no window, is one.
#include <QPointer>

#include <deque>

namespace zentyr {

struct LoadedForm {
    QPointer<QObject> form;
    void (*unload)(QObject *form);
};

// One entry a kind, in the order the kinds were first referred to; entries never move.
inline std::deque<LoadedForm> &loadedForms()
{
    static std::deque<LoadedForm> forms;
    return forms;
}

template <class F> QPointer<QObject> &formSlot()
{
    static LoadedForm &entry
        = loadedForms().emplace_back(LoadedForm{nullptr, [](QObject *f) { static_cast<F *>(f)->unload(); }});
    return entry.form;
}

// The loaded instance, or nullptr.
template <class F> F *loadedForm()
{
    auto *f = static_cast<F *>(formSlot<F>().data());
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

// Unloads every loaded form, the kind first referred to last.
inline void unloadAllForms()
{
    for (auto it = loadedForms().rbegin(); it != loadedForms().rend(); ++it)
        if (it->form)
            it->unload(it->form.data());
}

} // namespace zentyr
