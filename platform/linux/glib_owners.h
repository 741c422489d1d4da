#pragma once

#include <glib-object.h>

#include "platform/owner.h"

namespace platform {

// The owners of GLib's own values, which the desktop settings and the screen cast portal share.
using GCharOwner = Owner<gchar, g_free>;
using GErrorOwner = Owner<GError, g_error_free>;
using GVariantOwner = Owner<GVariant, g_variant_unref>;
template <typename T>
using GObjectOwner = Owner<T, g_object_unref>;

}  // namespace platform
