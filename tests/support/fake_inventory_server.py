#!/usr/bin/env python3
"""A stand-in inventory server on a free loopback port, for moravel-report --submit tests.

The first path segment picks the behaviour: /ocs/ocsinventory answers as OCS Inventory NG does
(zlib replies to PROLOG and INVENTORY), /glpi/front/inventory.php as GLPI does, /error500/...
with HTTP 500, /garbage/... with bytes that are no reply, /silent/... never answers, and
/glpirefuses/front/inventory.php with GLPI's error reply. /auth/... answers as OCS or GLPI does
to Basic authentication as alice with the password S3cr3t, and HTTP 401 to anything else.
Hostile ones: /trailers/... sends a chunked body and then trailer lines without end, /trickle/...
one trailer line every 0.2 s without end, /headers/... header lines without end, /longheader/...
one header line of 200,000 bytes, /bomb/ocsinventory a zlib reply that inflates to 2 MiB,
/longresponse/ocsinventory a RESPONSE of 900,000 characters, /glpistatus/front/inventory.php
{"status":1} and /glpiutf8/front/inventory.php a refusal in German. Each request is appended to
LOG as one JSON line (path, user agent, content type, whether it carried the right Basic
authentication, the body inflated when it is zlib). Prints the port. With a certificate and its
key it speaks https.
Usage: fake_inventory_server.py LOG [CERTIFICATE KEY]
"""
import base64, json, ssl, sys, time, zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def reply(self, status, body, kind='application/x-compress'):
        self.send_response(status)
        self.send_header('Content-Type', kind)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def raw(self, head, line, pause=0):
        """Writes `head`, then `line` again and again until the client leaves."""
        try:
            self.connection.sendall(head)
            while True:
                self.connection.sendall(line)
                time.sleep(pause)
        except OSError:
            pass
        self.close_connection = True

    def authorization(self):
        given = self.headers.get('Authorization')
        if given is None: return 'none'
        return 'right' if given == 'Basic ' + base64.b64encode(b'alice:S3cr3t').decode() else 'wrong'

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get('Content-Length', 0)))
        try:
            text = zlib.decompress(body).decode()
        except zlib.error:
            text = body.decode(errors='replace')
        with open(sys.argv[1], 'a') as log:
            log.write(json.dumps({'path': self.path, 'agent': self.headers.get('User-Agent'),
                                  'type': self.headers.get('Content-Type'), 'auth': self.authorization(),
                                  'body': text}) + '\n')
        mode = self.path.split('/')[1]
        chunked = b'HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nTrailer: X-Flood\r\n\r\n5\r\nhello\r\n0\r\n'
        if mode == 'auth' and self.authorization() != 'right':
            self.reply(401, b'', 'text/plain')
        elif mode == 'auth' and self.path.endswith('/ocsinventory') or mode == 'ocs':
            answer = 'SEND' if '<QUERY>PROLOG</QUERY>' in text else 'ACCOUNT_UPDATE'
            self.reply(200, zlib.compress(f'<?xml version="1.0"?>\n<REPLY><RESPONSE>{answer}</RESPONSE></REPLY>'.encode()))
        elif mode in ('glpi', 'auth'):
            self.reply(200, b'{"status":"ok","expiration":24}', 'application/json')
        elif mode == 'trailers':
            self.raw(chunked, b'X-Flood: ' + b'a' * 1000 + b'\r\n')
        elif mode == 'trickle':
            self.raw(chunked, b'X-Flood: a\r\n', 0.2)
        elif mode == 'headers':
            self.raw(b'HTTP/1.1 200 OK\r\n', b'X-Flood: ' + b'a' * 1000 + b'\r\n')
        elif mode == 'longheader':
            self.raw(b'HTTP/1.1 200 OK\r\nX-Long: ' + b'a' * 200000 + b'\r\n\r\n', b'', 1)
        elif mode == 'bomb':
            self.reply(200, zlib.compress(b'<REPLY>' + b' ' * (2 << 20) + b'</REPLY>'))
        elif mode == 'longresponse':
            self.reply(200, zlib.compress(b'<REPLY><RESPONSE>' + b'R' * 900000 + b'</RESPONSE></REPLY>'))
        elif mode == 'glpistatus':
            self.reply(200, b'{"status":1}', 'application/json')
        elif mode == 'glpiutf8':
            message = 'Ung\u00fcltiges Inventar: \u00abcontent\u00bb fehlt'
            self.reply(400, json.dumps({'status': 'error', 'message': message}).encode(), 'application/json')
        elif mode == 'glpirefuses':
            self.reply(400, b'{"status":"error","message":"JSON does not validate"}', 'application/json')
        elif mode == 'error500':
            self.reply(500, b'<html>Internal Server Error</html>', 'text/html')
        elif mode == 'garbage':
            self.reply(200, b'\x00\x01garbage that is no reply')
        else:  # silent: keeps the connection and says nothing
            time.sleep(3600)


server = ThreadingHTTPServer(('127.0.0.1', 0), Handler)
server.daemon_threads = True
if len(sys.argv) == 4:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[2], sys.argv[3])
    server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
