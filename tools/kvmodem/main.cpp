// kvmodem: what the notifier would send, what an incoming PDU says, and the modem itself
// (send, call, inbox) through the notifier's own handshake and worker.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "controller/modem/json_text.h"
#include "controller/modem/notice_rules.h"
#include "controller/modem/pdu.h"
#include "controller/modem/text_units.h"

namespace {

using namespace korvex::modem;

void usage(std::FILE* to) {
    std::fputs(
        "usage: kvmodem pdu SMSC NUMBER MACHINE TEXT   print len=<AT+CMGS length> and pdu=<hex>\n"
        "       kvmodem decode HEX                     print an SMS-DELIVER PDU as JSON\n"
        "       kvmodem --port DEVICE send SMSC NUMBER MACHINE TEXT\n"
        "       kvmodem --port DEVICE call NUMBER\n"
        "       kvmodem --port DEVICE inbox            print and delete every stored message\n",
        to);
}

int commandPdu(char** args) {
    ShortMessage message;
    std::string why;
    if (composeNotice(args[0], args[1], args[2], args[3], message, &why) != 0) {
        std::printf("not-sent=%s\n", why.c_str());
        return 1;
    }
    EncodedPdu pdu;
    if (encodeSubmit(message, pdu, &why) != 0) {
        std::printf("not-sent=%s\n", why.c_str());
        return 1;
    }
    std::printf("len=%d\npdu=%s\n", pdu.cmgsLength, pdu.hex.c_str());
    return 0;
}

int commandDecode(const char* hex) {
    ShortMessage message;
    std::string why;
    if (decodeDeliver(hex, message, &why) != 0) {
        std::fprintf(stderr, "kvmodem: cannot decode: %s\n", why.c_str());
        return 1;
    }
    std::printf("%s\n", messageJson(message).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv + 1, argv + argc);
    if (args.empty() || std::strcmp(args[0], "--help") == 0 || std::strcmp(args[0], "-h") == 0) {
        usage(args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    if (command == "pdu" && args.size() == 5) return commandPdu(&args[1]);
    if (command == "decode" && args.size() == 2) return commandDecode(args[1]);
    std::fprintf(stderr, "kvmodem: wrong arguments\n");
    usage(stderr);
    return 2;
}
