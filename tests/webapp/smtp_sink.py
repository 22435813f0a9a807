"""SMTP sink for the tests of the "pec" channel, on 127.0.0.1 only.

    smtp_sink.py MODE CERT KEY OUTDIR USER PASSWORD [stallo]

MODE is "implicito" (TLS from the first byte) or "starttls". With "stallo" the
sink takes the message's data and never answers it. Logins other than
USER/PASSWORD are refused with 535. Each message's attachments are written to
OUTDIR under their file names, its envelope to OUTDIR/busta.txt. Prints
"pronto PORT" once it accepts connections, and runs until stdin closes.
"""
import asyncio
import email
import email.policy
import os
import socket
import ssl
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult


def main():
    mode, cert, key, outdir, user, password = sys.argv[1:7]
    stallo = sys.argv[7:8] == ["stallo"]
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.load_cert_chain(cert, key)

    class Handler:
        async def handle_DATA(self, server, session, envelope):
            if stallo:
                with open(os.path.join(outdir, "arrivato"), "w") as f:
                    f.write("dati ricevuti\n")
                await asyncio.sleep(3600)
            msg = email.message_from_bytes(envelope.content, policy=email.policy.default)
            for part in msg.iter_attachments():
                with open(os.path.join(outdir, os.path.basename(part.get_filename())), "wb") as f:
                    f.write(part.get_payload(decode=True))
            with open(os.path.join(outdir, "busta.txt"), "w") as f:
                f.write(envelope.mail_from + "\n" + "\n".join(envelope.rcpt_tos) + "\n")
            return "250 OK"

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = auth_data.login.decode() == user and auth_data.password.decode() == password
        return AuthResult(success=ok, handled=False)

    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    options = dict(authenticator=authenticator, auth_require_tls=mode == "starttls")
    if mode == "implicito":
        options["ssl_context"] = ctx
    else:
        options.update(tls_context=ctx, require_starttls=True)
    controller = Controller(Handler(), hostname="127.0.0.1", port=port,
                            server_hostname="127.0.0.1", **options)
    controller.start()
    print("pronto", port, flush=True)
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
