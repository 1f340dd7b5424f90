#pragma once
#include <string>
#include <string_view>

// Checks an Ed25519 signature over a file's whole contents. The public key (32 bytes) and
// the detached signature (64 bytes) are given in standard base64; blanks and line breaks
// around or inside them are ignored. False for a key or signature that does not decode to
// its exact size, an unreadable file, or a signature that does not match.
bool VerifyFileSignature(const std::wstring& path, std::string_view signatureBase64, std::string_view publicKeyBase64);
