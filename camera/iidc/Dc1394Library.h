// libdc1394 itself behind the bus interface.
#pragma once

#include "camera/iidc/Dc1394Api.h"

#include <map>
#include <memory>
#include <string>

struct __dc1394_t;

namespace cam {

class Dc1394Library : public Dc1394Api {
public:
    // Null, with the reason in `why`, when libdc1394 finds no 1394 or USB platform to use.
    static std::unique_ptr<Dc1394Library> create(std::string &why);
    ~Dc1394Library() override;

    std::vector<IidcIdentity> enumerate() override;
    std::unique_ptr<Dc1394Camera> open(const IidcCameraId &id) override;

private:
    explicit Dc1394Library(__dc1394_t *context) : context_(context) {}
    IidcIdentity identify(const IidcCameraId &id);

    __dc1394_t *context_;
    // Vendor and model of the units seen so far: a unit is opened to read them only once.
    std::map<std::pair<uint64_t, int>, IidcIdentity> seen_;  // used by enumerate() only
};

} // namespace cam
