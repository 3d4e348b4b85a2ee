#!/usr/bin/python3
"""A mail server on loopback for the tests: keeps every message it accepts.

Prints "PORT <n>" once it listens, then serves until its standard input closes.
Every accepted message is saved as <dir>/<n>.eml with its envelope in
<dir>/<n>.json.

  --user U --password P   require this login (AUTH PLAIN/LOGIN, no TLS)
  --reject ADDRESS        answer RCPT TO:<ADDRESS> with 550 (repeatable)
"""
import argparse
import json
import os
import socket
import sys
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Keeper:
    def __init__(self, folder, rejected):
        self.folder = folder
        self.rejected = {a.lower() for a in rejected}
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.rejected:
            return "550 5.1.1 <%s>: buzon inexistente" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "%04d" % self.count)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".json", "w") as f:
            json.dump({"from": envelope.mail_from, "to": envelope.rcpt_tos,
                       "login": session.auth_data if session.authenticated else None}, f)
        return "250 Message accepted for delivery"


def authenticator(user, password):
    def check(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == user.encode()
              and auth_data.password == password.encode())
        return AuthResult(success=ok, handled=False, auth_data=user if ok else None)
    return check


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def main():
    # Login without TLS is what these tests want, on loopback only.
    warnings.simplefilter("ignore")
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--user")
    parser.add_argument("--password", default="")
    parser.add_argument("--reject", action="append", default=[])
    args = parser.parse_args()
    os.makedirs(args.dir, exist_ok=True)
    options = {}
    if args.user:
        options = dict(authenticator=authenticator(args.user, args.password),
                       auth_required=True, auth_require_tls=False)
    controller = Controller(Keeper(args.dir, args.reject), hostname="127.0.0.1",
                            port=free_port(), server_kwargs=options)
    controller.start()
    print("PORT %d" % controller.port, flush=True)
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
