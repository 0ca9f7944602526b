// Which way Aravis receives stream packets.
#include "camera/aravis/ReceivePath.h"

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <sys/socket.h>
#include <unistd.h>

namespace cam {

std::string aravisReceivePath()
{
    const int fd = socket(AF_PACKET, SOCK_RAW, htons(ETH_P_ALL));
    if (fd < 0)
        return "UDP socket (no CAP_NET_RAW; receive buffer sized by Aravis)";
    close(fd);
    return "packet socket (CAP_NET_RAW)";
}

} // namespace cam
