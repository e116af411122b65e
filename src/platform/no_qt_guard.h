// Force-included into every core source. The core is toolkit-free; any Qt header that slips
// in uses these names and stops the build here.
#pragma once
#pragma GCC poison QT_VERSION QT_BEGIN_NAMESPACE Q_OBJECT QObject QString
