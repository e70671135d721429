#pragma once

namespace qmk::tab {

// Marker of the four site kinds (Black_Site, Listed_Url, Shareware_Site, Temp_Site).
class IShareware_Site {
public:
    virtual ~IShareware_Site() = default;
};

} // namespace qmk::tab
