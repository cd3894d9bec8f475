#!/usr/bin/python3
"""The publisher's tool for signed updates of Quadrivo.

The program downloads and runs a new version only when the update description document carries
the publisher's signature over it, made with the private key whose public half is compiled into
Novavis.dll. Keep the private key offline; only its public key goes into a build.

    sign_update.py keygen   --private PRIVATE.pem --public PUBLIC.pem
    sign_update.py sign     --key PRIVATE.pem --file "Quadrivo V1.19.exe" --version 1.19
    sign_update.py document --key PRIVATE.pem --file "Quadrivo V1.19.exe" --version 1.19 \\
                            --url https://example.invalid/Quadrivo-1.19.exe [--out update.xml]
    sign_update.py verify   --public PUBLIC.pem --file F --version V --signature BASE64
    sign_update.py key-source --public PUBLIC.pem --out publisher_key.cpp   (used by the build)

What is signed: SHA-256 of the file's bytes (32 bytes) followed by the version text's bytes in
GBK, exactly as the document offers it ("1.19" is just its ASCII bytes). The signature is ECDSA on
P-256 with SHA-256, written as 64 bytes, r then s, each 32 bytes big-endian and padded with zeros
on the left, in standard base64. Runs with Debian's python3-cryptography (/usr/bin/python3).
"""
import argparse
import base64
import hashlib
import os
import sys
from xml.sax.saxutils import escape

from cryptography.exceptions import InvalidSignature
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.hazmat.primitives.asymmetric.utils import decode_dss_signature, encode_dss_signature

COORDINATE_BYTES = 32
SIGNATURE_BYTES = 2 * COORDINATE_BYTES
VERSION_ENCODING = "gbk"


def generate_key():
    return ec.generate_private_key(ec.SECP256R1())


def load_private_key(path):
    with open(path, "rb") as f:
        key = serialization.load_pem_private_key(f.read(), password=None)
    if not isinstance(key, ec.EllipticCurvePrivateKey) or not isinstance(key.curve, ec.SECP256R1):
        raise ValueError(f"{path}: not a P-256 private key")
    return key


def load_public_key(path):
    with open(path, "rb") as f:
        key = serialization.load_pem_public_key(f.read())
    if not isinstance(key, ec.EllipticCurvePublicKey) or not isinstance(key.curve, ec.SECP256R1):
        raise ValueError(f"{path}: not a P-256 public key")
    return key


def version_bytes(version):
    """The version text as the program holds it: GBK bytes."""
    return version.encode(VERSION_ENCODING) if isinstance(version, str) else bytes(version)


def signed_message(file_bytes, version):
    return hashlib.sha256(file_bytes).digest() + version_bytes(version)


def fixed_width_signature(der_signature):
    """r and s, each padded to 32 bytes: about one signature in 128 has one of them shorter."""
    r, s = decode_dss_signature(der_signature)
    return r.to_bytes(COORDINATE_BYTES, "big") + s.to_bytes(COORDINATE_BYTES, "big")


def sign(private_key, file_bytes, version):
    """The 64-byte signature of a file offered as version."""
    der = private_key.sign(signed_message(file_bytes, version), ec.ECDSA(hashes.SHA256()))
    return fixed_width_signature(der)


def sign_base64(private_key, file_bytes, version):
    return base64.b64encode(sign(private_key, file_bytes, version)).decode("ascii")


def verify(public_key, file_bytes, version, signature):
    if len(signature) != SIGNATURE_BYTES:
        return False
    r = int.from_bytes(signature[:COORDINATE_BYTES], "big")
    s = int.from_bytes(signature[COORDINATE_BYTES:], "big")
    try:
        public_key.verify(encode_dss_signature(r, s), signed_message(file_bytes, version), ec.ECDSA(hashes.SHA256()))
        return True
    except InvalidSignature:
        return False


def public_key_blob(public_key):
    """The key as Windows' CNG imports it (BCRYPT_ECCPUBLIC_BLOB): "ECS1", 32, then X and Y."""
    numbers = public_key.public_numbers()
    magic = b"ECS1"
    length = COORDINATE_BYTES.to_bytes(4, "little")
    return magic + length + numbers.x.to_bytes(COORDINATE_BYTES, "big") + numbers.y.to_bytes(COORDINATE_BYTES, "big")


def update_document(url, version, signature_base64):
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        "<Update>\n"
        f"  <Url>{escape(url)}</Url>\n"
        f"  <Version>{escape(version)}</Version>\n"
        f"  <Signature>{signature_base64}</Signature>\n"
        "</Update>\n"
    )


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


def write_new_file(path, data, mode):
    """Writes a file that must not exist yet: a key is never overwritten by accident."""
    directory = os.path.dirname(os.path.abspath(path))
    os.makedirs(directory, exist_ok=True)
    descriptor = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, mode)
    with os.fdopen(descriptor, "wb") as f:
        f.write(data)


def command_keygen(args):
    key = generate_key()
    private_pem = key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                    serialization.NoEncryption())
    public_pem = key.public_key().public_bytes(serialization.Encoding.PEM,
                                               serialization.PublicFormat.SubjectPublicKeyInfo)
    for path in (args.private, args.public):
        if os.path.exists(path):
            sys.exit(f"sign_update: {path} exists; refusing to replace a key")
    write_new_file(args.private, private_pem, 0o600)
    write_new_file(args.public, public_pem, 0o644)
    return 0


def command_sign(args):
    print(sign_base64(load_private_key(args.key), read_file(args.file), args.version))
    return 0


def command_document(args):
    signature = sign_base64(load_private_key(args.key), read_file(args.file), args.version)
    document = update_document(args.url, args.version, signature).encode("utf-8")
    if args.out:
        with open(args.out, "wb") as f:
            f.write(document)
    else:
        sys.stdout.buffer.write(document)
    return 0


def decode_signature_text(text):
    """The signature as the program reads it: blanks, tabs and line breaks ignored, then standard
    base64 in its one canonical form (padding bits zero); b"" for anything else."""
    compact = "".join(c for c in text if c not in " \t\r\n")
    try:
        decoded = base64.b64decode(compact, validate=True)
    except ValueError:
        return b""
    return decoded if base64.b64encode(decoded).decode("ascii") == compact else b""


def command_verify(args):
    signature = decode_signature_text(args.signature)
    good = verify(load_public_key(args.public), read_file(args.file), args.version, signature)
    print("good signature" if good else "BAD signature")
    return 0 if good else 1


def command_key_source(args):
    blob = public_key_blob(load_public_key(args.public))
    rows = []
    for at in range(0, len(blob), 12):
        rows.append("    " + ", ".join(f"0x{b:02X}" for b in blob[at:at + 12]) + ",")
    source = (
        "// Made by the build from the publisher's public key; not to be edited.\n"
        '#include "modules/update/win/signature_check.h"\n\n'
        "namespace quadrivo::update {\n\n"
        "const PublicKeyBlob& publisher_public_key() {\n"
        "  static constexpr PublicKeyBlob kKey = {\n" + "\n".join(rows) + "\n  };\n"
        "  return kKey;\n"
        "}\n\n"
        "}  // namespace quadrivo::update\n"
    )
    temporary = args.out + ".tmp"
    with open(temporary, "w") as f:
        f.write(source)
    os.replace(temporary, args.out)
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(description="Signs Quadrivo updates.")
    commands = parser.add_subparsers(dest="command", required=True)

    keygen = commands.add_parser("keygen", help="make a P-256 key pair (PEM)")
    keygen.add_argument("--private", required=True)
    keygen.add_argument("--public", required=True)
    keygen.set_defaults(run=command_keygen)

    for name, run, help_text in (("sign", command_sign, "print the base64 signature of a file"),
                                 ("document", command_document, "write a whole update document")):
        command = commands.add_parser(name, help=help_text)
        command.add_argument("--key", required=True, help="the private key (PEM)")
        command.add_argument("--file", required=True, help="the new version's program file")
        command.add_argument("--version", required=True, help="the version text the document offers")
        if name == "document":
            command.add_argument("--url", required=True, help="the download address of the file")
            command.add_argument("--out", help="where to write the document (default: standard output)")
        command.set_defaults(run=run)

    check = commands.add_parser("verify", help="check a signature as the program does")
    check.add_argument("--public", required=True)
    check.add_argument("--file", required=True)
    check.add_argument("--version", required=True)
    check.add_argument("--signature", required=True)
    check.set_defaults(run=command_verify)

    source = commands.add_parser("key-source", help="C++ source embedding a public key (for the build)")
    source.add_argument("--public", required=True)
    source.add_argument("--out", required=True)
    source.set_defaults(run=command_key_source)

    args = parser.parse_args(argv)
    return args.run(args)


if __name__ == "__main__":
    sys.exit(main())
