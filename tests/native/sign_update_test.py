#!/usr/bin/python3
"""The publisher's tool for signed updates, release/sign_update.py, as publishers and the build use it.

    /usr/bin/python3 tests/native/sign_update_test.py

Signatures are checked here against the format itself (SHA-256 of the file, then the version text's
GBK bytes; ECDSA P-256 with SHA-256; r then s, 32 bytes each, big-endian), not only against the
tool's own verify, so that the tool and the program cannot drift apart together. Runs with Debian's
python3, which has python3-cryptography.
"""
import base64
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

from cryptography.exceptions import InvalidSignature
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.hazmat.primitives.asymmetric.utils import encode_dss_signature

TOOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "release", "sign_update.py")
sys.path.insert(0, os.path.dirname(TOOL))
import sign_update  # noqa: E402

FILE_BYTES = bytes(range(256)) * 40 + b"the new version"
VERSION = "1.19"
# Signing until a signature with a short r and one with a short s have both turned up takes a few
# hundred tries (each is about 1 in 256); this many leaves no real chance of a false failure.
MOST_TRIES = 20000


def verifies(public_key, file_bytes, version_bytes, signature):
    """The check the program makes, written from the format."""
    if len(signature) != 64:
        return False
    r = int.from_bytes(signature[:32], "big")
    s = int.from_bytes(signature[32:], "big")
    message = hashlib.sha256(file_bytes).digest() + version_bytes
    try:
        public_key.verify(encode_dss_signature(r, s), message, ec.ECDSA(hashes.SHA256()))
        return True
    except InvalidSignature:
        return False


def run_tool(*arguments):
    return subprocess.run([sys.executable, TOOL, *arguments], capture_output=True)


class Signatures(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.key = sign_update.generate_key()
        cls.public_key = cls.key.public_key()

    def test_every_signature_has_64_bytes_and_verifies_short_r_and_s_included(self):
        seen = {"short r": False, "short s": False}
        for _ in range(MOST_TRIES):
            signature = sign_update.sign(self.key, FILE_BYTES, VERSION)
            self.assertEqual(len(signature), 64)
            self.assertTrue(verifies(self.public_key, FILE_BYTES, b"1.19", signature), signature.hex())
            self.assertTrue(sign_update.verify(self.public_key, FILE_BYTES, VERSION, signature))
            seen["short r"] |= signature[0] == 0
            seen["short s"] |= signature[32] == 0
            if all(seen.values()):
                break
        self.assertEqual(seen, {"short r": True, "short s": True})

    def test_the_version_is_signed_as_its_gbk_bytes(self):
        for version in ("1.19", "1.19beta", "1.20测试版", "１.１９"):
            with self.subTest(version=version):
                signature = sign_update.sign(self.key, FILE_BYTES, version)
                self.assertTrue(verifies(self.public_key, FILE_BYTES, version.encode("gbk"), signature))
                self.assertTrue(sign_update.verify(self.public_key, FILE_BYTES, version, signature))

    def test_fixed_width_signature_pads_r_and_s_to_32_bytes(self):
        big = 2**255 + 12345  # high bit set: DER gives it a 33rd, zero byte
        for r, s in ((1, 2), (0x1234, big), (big, 0xFF), (2**248 - 1, 2**8), (big, big - 1)):
            with self.subTest(r=hex(r), s=hex(s)):
                fixed = sign_update.fixed_width_signature(encode_dss_signature(r, s))
                self.assertEqual(fixed, r.to_bytes(32, "big") + s.to_bytes(32, "big"))

    def test_verify_refuses_what_was_not_signed(self):
        signature = sign_update.sign(self.key, FILE_BYTES, VERSION)
        self.assertTrue(sign_update.verify(self.public_key, FILE_BYTES, VERSION, signature))
        changed_file = bytearray(FILE_BYTES)
        changed_file[1000] ^= 0x01
        other_key = sign_update.generate_key().public_key()
        r = int.from_bytes(signature[:32], "big")
        s = int.from_bytes(signature[32:], "big")
        cases = (
            ("another version text", self.public_key, FILE_BYTES, "1.18", signature),
            ("the version with a blank", self.public_key, FILE_BYTES, "1.19 ", signature),
            ("another file", self.public_key, bytes(changed_file), VERSION, signature),
            ("a shorter file", self.public_key, FILE_BYTES[:-1], VERSION, signature),
            ("another key", other_key, FILE_BYTES, VERSION, signature),
            ("a DER signature", self.public_key, FILE_BYTES, VERSION, encode_dss_signature(r, s)),
            ("63 bytes", self.public_key, FILE_BYTES, VERSION, signature[:63]),
            ("s before r", self.public_key, FILE_BYTES, VERSION, signature[32:] + signature[:32]),
        )
        for name, public_key, file_bytes, version, candidate in cases:
            with self.subTest(name):
                self.assertFalse(sign_update.verify(public_key, file_bytes, version, candidate))


class SignatureText(unittest.TestCase):
    def test_read_as_the_program_reads_it(self):
        signature = bytes(range(64))
        text = base64.b64encode(signature).decode("ascii")
        cases = [
            ("plain", text, signature),
            ("wrapped with blanks", "  " + text[:40] + "\r\n\t" + text[40:] + "\n", signature),
            ("non-zero padding bits", text[:85] + "x==", b""),
            ("not base64", text[:20] + "!" + text[21:], b""),
            ("padding missing", text[:86], b""),
        ]
        for name, given, expected in cases:
            with self.subTest(name):
                self.assertEqual(sign_update.decode_signature_text(given), expected)


class KeySource(unittest.TestCase):
    def test_the_blob_is_ecs1_then_32_then_x_and_y_padded(self):
        # A key whose X has a leading zero byte turns up about once in 256.
        for _ in range(MOST_TRIES):
            public_key = sign_update.generate_key().public_key()
            if public_key.public_numbers().x < 2**248:
                break
        numbers = public_key.public_numbers()
        self.assertLess(numbers.x, 2**248)
        with tempfile.TemporaryDirectory() as directory:
            pem = os.path.join(directory, "public.pem")
            source = os.path.join(directory, "publisher_key.cpp")
            with open(pem, "wb") as f:
                f.write(public_key.public_bytes(serialization.Encoding.PEM,
                                                serialization.PublicFormat.SubjectPublicKeyInfo))
            result = run_tool("key-source", "--public", pem, "--out", source)
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(source) as f:
                text = f.read()
        blob = bytes(int(byte, 16) for byte in re.findall(r"0x([0-9A-F]{2})", text))
        self.assertEqual(len(blob), 72)
        self.assertEqual(blob[:4], b"ECS1")
        self.assertEqual(blob[4:8], (32).to_bytes(4, "little"))
        self.assertEqual(blob[8:40], numbers.x.to_bytes(32, "big"))
        self.assertEqual(blob[40:], numbers.y.to_bytes(32, "big"))
        self.assertIn("publisher_public_key()", text)


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.addCleanup(self.directory.cleanup)
        self.private = self.path("keys/private.pem")
        self.public = self.path("keys/public.pem")
        self.program = self.path("Quadrivo V1.19.exe")
        with open(self.program, "wb") as f:
            f.write(FILE_BYTES)

    def path(self, name):
        return os.path.join(self.directory.name, name)

    def keygen(self):
        result = run_tool("keygen", "--private", self.private, "--public", self.public)
        self.assertEqual(result.returncode, 0, result.stderr)
        return sign_update.load_public_key(self.public)

    def test_keygen_writes_a_p256_pair(self):
        public_key = self.keygen()
        private_key = sign_update.load_private_key(self.private)
        self.assertEqual(private_key.public_key().public_numbers(), public_key.public_numbers())
        self.assertEqual(os.stat(self.private).st_mode & 0o077, 0, "the private key is readable by others")

    def test_keygen_never_replaces_a_key(self):
        for existing in ("private", "public", "both"):
            with self.subTest(existing=existing):
                for path in (self.private, self.public):
                    if os.path.exists(path):
                        os.remove(path)
                os.makedirs(os.path.dirname(self.private), exist_ok=True)
                kept = {}
                for name, path in (("private", self.private), ("public", self.public)):
                    if existing in (name, "both"):
                        kept[path] = f"the {name} key in use\n".encode()
                        with open(path, "wb") as f:
                            f.write(kept[path])
                result = run_tool("keygen", "--private", self.private, "--public", self.public)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(b"refusing", result.stderr)
                for path, content in kept.items():
                    with open(path, "rb") as f:
                        self.assertEqual(f.read(), content)
                self.assertEqual(sorted(os.listdir(os.path.dirname(self.private))),
                                 sorted(os.path.basename(path) for path in kept), "a half pair was written")

    def test_document_carries_a_signature_that_verifies(self):
        public_key = self.keygen()
        address = "https://updates.example.invalid/get?file=Quadrivo-1.19.exe&mirror=2"
        out = self.path("update.xml")
        result = run_tool("document", "--key", self.private, "--file", self.program, "--version", VERSION,
                          "--url", address, "--out", out)
        self.assertEqual(result.returncode, 0, result.stderr)
        root = ElementTree.parse(out).getroot()  # raises on a document that is not well-formed
        self.assertEqual(root.tag, "Update")
        children = list(root)
        self.assertEqual(len(children), 3)
        self.assertEqual([children[0].text, children[1].text], [address, VERSION])
        signature = base64.b64decode(children[2].text.strip(), validate=True)
        self.assertEqual(len(signature), 64)
        self.assertTrue(verifies(public_key, FILE_BYTES, b"1.19", signature))

    def test_sign_and_verify(self):
        self.keygen()
        result = run_tool("sign", "--key", self.private, "--file", self.program, "--version", VERSION)
        self.assertEqual(result.returncode, 0, result.stderr)
        signature = result.stdout.decode("ascii").strip()
        self.assertEqual(len(base64.b64decode(signature, validate=True)), 64)
        raw = base64.b64decode(signature)
        der = base64.b64encode(encode_dss_signature(int.from_bytes(raw[:32], "big"),
                                                    int.from_bytes(raw[32:], "big"))).decode("ascii")
        wrapped = signature[:40] + "\n  " + signature[40:]
        cases = (
            ("the signature as printed", VERSION, signature, 0),
            ("wrapped over lines", VERSION, wrapped, 0),
            ("another version text", "1.18", signature, 1),
            ("a DER signature", VERSION, der, 1),
            ("not base64", VERSION, signature[:10] + "!" + signature[11:], 1),
        )
        for name, version, text, expected_code in cases:
            with self.subTest(name):
                result = run_tool("verify", "--public", self.public, "--file", self.program, "--version", version,
                                  "--signature", text)
                self.assertEqual(result.returncode, expected_code, result.stdout + result.stderr)
                self.assertEqual(result.stdout.strip(), b"good signature" if expected_code == 0 else b"BAD signature")


if __name__ == "__main__":
    unittest.main()
