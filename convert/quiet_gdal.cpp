#include "convert/quiet_gdal.h"

#include <mutex>

#include <cpl_error.h>
#include <gdal_priv.h>

namespace coordconv {

QuietGdal::QuietGdal() {
    std::fegetexceptflag(&flags_, FE_ALL_EXCEPT);
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
}

QuietGdal::~QuietGdal() {
    CPLPopErrorHandler();
    std::fesetexceptflag(&flags_, FE_ALL_EXCEPT);
}

std::string LastGdalMessage() {
    const char* message = CPLGetLastErrorMsg();
    return message != nullptr && message[0] != '\0' ? std::string(" (") + message + ")" : std::string();
}

}  // namespace coordconv
