#include "TestSupport.h"

#include "platform/TextCodec.h"
#include "update/ArchiveSignature.h"

#include <gtest/gtest.h>

using namespace updatetest;

// The signing recipe given to publishers (OpenSSL, pure Ed25519 over the archive bytes)
// produces what the check accepts, and nothing else passes.
TEST(ArchiveSignature, AcceptsOpensslSignaturesAndRefusesEverythingElse)
{
    TempDir dir;
    const std::string d = dir.Path();
    WriteFile(d + "/a.zip", std::string("PK\x03\x04") + " archive bytes");
    ASSERT_EQ(RunQuietly({ "sh", "-c",
                           "cd '" + d + "' && openssl genpkey -algorithm ed25519 -out k.pem"
                           " && openssl pkey -in k.pem -pubout -outform DER | tail -c 32 | base64 > pub.txt"
                           " && openssl pkeyutl -sign -rawin -inkey k.pem -in a.zip | base64 -w0 > a.zip.sig" }),
              0);
    const std::string key = ReadFile(d + "/pub.txt");
    const std::string signature = ReadFile(d + "/a.zip.sig");
    const SigningKey otherKey;
    WriteFile(d + "/altered.zip", ReadFile(d + "/a.zip") + "x");

    struct Case {
        const char* why;
        std::string file;
        std::string signature;
        std::string key;
        bool valid;
    };
    const Case cases[] = {
        { "as signed", "a.zip", signature, key, true },
        { "with line breaks around both", "a.zip", "\n" + signature + "\r\n", " " + key + "\n", true },
        { "altered archive", "altered.zip", signature, key, false },
        { "another key", "a.zip", signature, otherKey.publicBase64, false },
        { "signature by another key", "a.zip", otherKey.Sign(ReadFile(d + "/a.zip")), key, false },
        { "truncated signature", "a.zip", signature.substr(0, 40), key, false },
        { "key of the wrong size", "a.zip", signature, "c2hvcnQ=", false },
        { "signature that is no base64", "a.zip", "%%%%", key, false },
        { "empty key", "a.zip", signature, "", false },
        { "missing file", "none.zip", signature, key, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(VerifyFileSignature(platform::FromUtf8(d + "/" + c.file), c.signature, c.key), c.valid) << c.why;
}
