// The entry point of the module that holds the publicity window and, through it, the web
// engine; see gui/web/PublicityLoader.h.

#include "gui/web/PublicityBig.h"
#include "gui/web/PublicityLoader.h"

#include <type_traits>

extern "C" Q_DECL_EXPORT QWidget*
quillbox_create_publicity_window(const QUrl& page, const web::GetLimits& limits, QWidget* owner)
{
    return new TReklama(page, limits, owner);
}

// The loader and the module must agree on the entry point's type.
static_assert(
    std::is_same_v<decltype(&quillbox_create_publicity_window), publicity_loader::CreateWindow>);
