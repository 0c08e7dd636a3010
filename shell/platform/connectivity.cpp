#include "shell/platform/connectivity.h"

#include <QNetworkInformation>

namespace tk {

namespace {

ConnectivityHook &connectivityHook()
{
    static ConnectivityHook hook;
    return hook;
}

QNetworkInformation *networkInformation()
{
    // The platform's default backend may need a service that is not running (the
    // network manager on a plain X server); any backend that reports reachability will do.
    static const bool loaded =
        QNetworkInformation::loadDefaultBackend() ||
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    return loaded ? QNetworkInformation::instance() : nullptr;
}

} // namespace

bool InternetGetConnectedState()
{
    if (connectivityHook())
        return connectivityHook()();
    const QNetworkInformation *information = networkInformation();
    return !information ||
           information->reachability() != QNetworkInformation::Reachability::Disconnected;
}

void setConnectivityHook(ConnectivityHook hook)
{
    connectivityHook() = std::move(hook);
}

} // namespace tk
