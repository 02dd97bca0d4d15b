#include "wmi/ScopedVariant.h"

#include <oleauto.h>

ScopedVariant::ScopedVariant() { VariantInit(&value_); }

ScopedVariant::~ScopedVariant() { clear(); }

void ScopedVariant::clear() { VariantClear(&value_); }
