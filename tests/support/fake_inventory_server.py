#!/usr/bin/env python3
"""A stand-in inventory server on a free loopback port, for moravel-report --submit tests.

The first path segment picks the behaviour: /ocs/ocsinventory answers as OCS Inventory NG does
(zlib replies to PROLOG and INVENTORY), /glpi/front/inventory.php as GLPI does, /error500/...
with HTTP 500, /garbage/... with bytes that are no reply, /silent/... never answers, and
/glpirefuses/front/inventory.php with GLPI's error reply. Each request is appended to LOG as one
JSON line (path, user agent, content type, the body inflated when it is zlib). Prints the port.
With a certificate and its key it speaks https.
Usage: fake_inventory_server.py LOG [CERTIFICATE KEY]
"""
import json, ssl, sys, time, zlib
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

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get('Content-Length', 0)))
        try:
            text = zlib.decompress(body).decode()
        except zlib.error:
            text = body.decode(errors='replace')
        with open(sys.argv[1], 'a') as log:
            log.write(json.dumps({'path': self.path, 'agent': self.headers.get('User-Agent'),
                                  'type': self.headers.get('Content-Type'), 'body': text}) + '\n')
        mode = self.path.split('/')[1]
        if mode == 'ocs':
            answer = 'SEND' if '<QUERY>PROLOG</QUERY>' in text else 'ACCOUNT_UPDATE'
            self.reply(200, zlib.compress(f'<?xml version="1.0"?>\n<REPLY><RESPONSE>{answer}</RESPONSE></REPLY>'.encode()))
        elif mode == 'glpi':
            self.reply(200, b'{"status":"ok","expiration":24}', 'application/json')
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
