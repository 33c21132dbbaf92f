// Short messages in PDU mode (3GPP TS 27.005): SMS-SUBMIT out, SMS-DELIVER in (TS 23.040 9.2.2),
// written as upper-case hexadecimal text.
//
// Outgoing layout, one field after the other:
//   SMSC length (octets after it) | 0x91 | SMSC digits as swapped semi-octets, odd count F-padded
//   0x11 (SMS-SUBMIT, relative validity period) | 0x00 (message reference)
//   destination length (digits) | 0x91 | destination semi-octets
//   PID | DCS | 0x00 (validity) | UDL | user data
// AT+CMGS is given the octet count without the SMSC part.
//
// Incoming PDUs come from anyone who knows the modem's number, so the decoder trusts nothing:
// every length octet is checked against the PDU and against its field's maximum, text is cut at
// character boundaries, a user-data header is skipped, and anything that is not an SMS-DELIVER
// or cannot be decoded is refused with a reason (the worker still deletes it from the modem).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::modem {

inline constexpr uint8_t kDcsGsm7 = 0;
inline constexpr uint8_t kDcsUcs2 = 8;
inline constexpr std::size_t kMaxUserDataOctets = 140;
inline constexpr std::size_t kMaxSeptets = 160;
inline constexpr std::size_t kMaxUcs2Units = kMaxUserDataOctets / 2;
inline constexpr std::size_t kMaxAddressDigits = 20;  // TS 23.040 9.1.2.5: 12 octets of address
inline constexpr std::size_t kMaxSmscOctets = 11;     // TS 24.011: type and up to 10 octets

// One short message, outgoing or incoming. DCS 0 and 8 carry text; any other DCS carries data.
struct ShortMessage {
    std::string smsc;    // digits (incoming: as the PDU gives them)
    std::string number;  // destination or sender: digits, or the alphanumeric sender's name
    uint8_t pid = 0;
    uint8_t dcs = kDcsUcs2;
    std::string scts;    // incoming only: "yy/MM/dd,hh:mm:ss+zz", zz in quarter hours
    std::u16string text;
    std::vector<uint8_t> data;  // 8-bit user data; text then shows each byte as U+0000..U+00FF
    int index = -1;             // incoming only: storage index in the modem
};

struct EncodedPdu {
    std::string hex;      // the whole PDU, SMSC part included
    int cmgsLength = 0;   // the AT+CMGS length
};

// Encodes an SMS-SUBMIT. Numbers must be 1..20 digits (the SMSC at most 20 too); the user data
// must fit one message. Returns 0, or -1 with the reason in why.
int encodeSubmit(const ShortMessage& message, EncodedPdu& out, std::string* why = nullptr);

// Decodes an SMS-DELIVER PDU (with its SMSC part, as AT+CMGL lists it). Returns 0, or -1 with
// the reason in why; out then holds nothing useful.
int decodeDeliver(std::string_view hex, ShortMessage& out, std::string* why = nullptr);

// Semi-octet digits as TS 23.040 writes addresses: pairs swapped, an odd count padded with F.
std::string swapSemiOctets(std::string_view digits);

std::string toHex(const std::vector<uint8_t>& bytes);
bool fromHex(std::string_view hex, std::vector<uint8_t>& bytes);

}  // namespace korvex::modem
