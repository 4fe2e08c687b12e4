// Names that are no serial line are refused before anything is opened; a
// pseudo-terminal, a missing node and a network name pass on to the opening.
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "com_port.h"
#include "pty_pair.h"
#include "serial_node_check.h"
#include "terminal_link_posix.h"

namespace {

// A scratch folder holding a regular file, a FIFO and a link to /dev/tty.
class NodeFolder {
public:
    NodeFolder() {
        char pattern[] = "/tmp/zel-nodes-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        folder = pattern;
        file = folder + "/plain";
        fifo = folder + "/fifo";
        link = folder + "/terminal";
        if (FILE* f = std::fopen(file.c_str(), "w")) std::fclose(f);
        EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        EXPECT_EQ(::symlink("/dev/tty", link.c_str()), 0);
    }
    ~NodeFolder() {
        ::unlink(file.c_str());
        ::unlink(fifo.c_str());
        ::unlink(link.c_str());
        ::rmdir(folder.c_str());
    }
    std::string folder, file, fifo, link;
};

TEST(SerialNodeCheckTest, RefusesTerminalsFilesAndFoldersThatAreNoSerialLine) {
    NodeFolder nodes;
    std::vector<std::string> refused = {"/dev/tty", "/dev/ptmx", nodes.folder, nodes.file,
                                        nodes.fifo, nodes.link,  "/dev/"};
    // Console nodes are present on most systems; check the ones this one has.
    for (const char* name : {"/dev/console", "/dev/tty0", "/dev/tty1", "/dev/tty63"}) {
        struct stat info {};
        if (::stat(name, &info) == 0) refused.push_back(name);
    }
    for (const std::string& name : refused) {
        EXPECT_FALSE(MayOpenAsSerialPort(name)) << name;
        ComPort port;
        EXPECT_EQ(OpenComPort(&port, name), COM_OPEN_NOT_SERIAL) << name;
        EXPECT_EQ(TerminalDescriptor(port), -1) << name;
    }
    EXPECT_EQ(NotASerialPortText("/dev/tty"), "/dev/tty is not a serial port");
}

TEST(SerialNodeCheckTest, LetsSerialLinesMissingNodesAndNetworkNamesThrough) {
    PtyPair pty;
    for (const std::string& name :
         {pty.SlaveName(), std::string("/dev/ttyUSB97"), std::string("/no/such/folder/ttyS0"),
          std::string("tcp://localhost:7000"), std::string("RFC2217://host:2217")})
        EXPECT_TRUE(MayOpenAsSerialPort(name)) << name;
    EXPECT_TRUE(IsNetworkPortName("tcp://10.0.0.1:4001"));
    EXPECT_FALSE(IsNetworkPortName("/dev/tcp"));
}

}  // namespace
