# A private OCS Inventory NG communication server on loopback, for the server test: Debian's
# ocsinventory-server under its own Apache (mod_perl) and its own MariaDB, each with its own
# folder, socket, pid file and free loopback port, so several checkouts and the machine's own
# services never meet. Source this file, then: ocs_start WORK_DIR; ... ; ocs_stop.
# After ocs_start: OCS_URL (http://127.0.0.1:PORT/ocsinventory) and ocs_sql "SELECT ...".

# A TCP port on 127.0.0.1 that nothing listens on now.
ocs_free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# waits up to $2 tenths of a second for command $1 to succeed
ocs_wait() {
    local tries=$2
    until eval "$1" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# ocs_sql QUERY [OPTION...]: the rows, tab-separated, without a header.
ocs_sql() {
    mariadb --no-defaults --socket="$OCS_WORK/db/db.sock" -u root -N -B "${@:2}" ocsweb -e "$1"
}

# The schema OCS ships with its web console (ocsinventory-reports), taken from the package
# without installing it: the console would bring PHP and a web application with it.
ocs_schema() {
    local dir="$OCS_WORK/reports"
    mkdir -p "$dir"
    (cd "$dir" && apt-get download ocsinventory-reports >/dev/null 2>&1) || return 1
    dpkg-deb -x "$dir"/ocsinventory-reports_*.deb "$dir/x" || return 1
    find "$dir/x" -name ocsbase_new.sql | head -1
}

ocs_start_database() {
    local user=mysql
    [ "$(id -u)" -eq 0 ] || user=$(id -un)
    mkdir -p "$OCS_WORK/db"
    chown "$user" "$OCS_WORK/db" 2>/dev/null
    mariadb-install-db --no-defaults --datadir="$OCS_WORK/db" --user="$user" --auth-root-authentication-method=normal \
        --skip-test-db >"$OCS_WORK/db-install.log" 2>&1 || return 1
    OCS_DB_PORT=$(ocs_free_port)
    mariadbd --no-defaults --datadir="$OCS_WORK/db" --user="$user" --socket="$OCS_WORK/db/db.sock" --port="$OCS_DB_PORT" \
        --bind-address=127.0.0.1 --pid-file="$OCS_WORK/db/db.pid" --skip-name-resolve --innodb-buffer-pool-size=32M \
        --log-error="$OCS_WORK/db/error.log" 2>>"$OCS_WORK/db-stderr.log" &
    OCS_DB_PID=$!
    ocs_wait "mariadb --no-defaults --socket='$OCS_WORK/db/db.sock' -u root -e 'SELECT 1'" 600 || return 1
    local schema
    schema=$(ocs_schema) && [ -n "$schema" ] || { echo "ocs_server: cannot get ocsbase_new.sql from ocsinventory-reports" >&2; return 1; }
    mariadb --no-defaults --socket="$OCS_WORK/db/db.sock" -u root -e "CREATE DATABASE ocsweb CHARACTER SET utf8mb4;
        CREATE USER 'ocs'@'127.0.0.1' IDENTIFIED BY 'ocs'; GRANT ALL ON ocsweb.* TO 'ocs'@'127.0.0.1';" || return 1
    mariadb --no-defaults --socket="$OCS_WORK/db/db.sock" -u root ocsweb <"$schema"
}

# The packaged configuration with the private database, a private log folder, and without the
# SOAP interface (it wants a password file this server does not need).
ocs_apache_config() {
    local port=$1 modules=/usr/lib/apache2/modules run_as=""
    [ "$(id -u)" -eq 0 ] && run_as=$'User www-data\nGroup www-data'
    mkdir -p "$OCS_WORK/run" "$OCS_WORK/ocslog" "$OCS_WORK/www"
    chmod 777 "$OCS_WORK/ocslog"
    python3 - /etc/apache2/conf-available/ocsinventory-server.conf "$OCS_WORK/ocs.conf" "$OCS_DB_PORT" "$OCS_WORK/ocslog/" <<'PY'
import re, sys
text = open(sys.argv[1]).read()
text = re.sub(r'\n\s*PerlModule Apache::Ocsinventory::SOAP.*?</location>', '\n', text, flags=re.S | re.I)
text = re.sub(r'OCS_DB_HOST \S+', 'OCS_DB_HOST 127.0.0.1', text)
text = re.sub(r'OCS_DB_PORT \S+', 'OCS_DB_PORT ' + sys.argv[3], text)
text = re.sub(r'OCS_OPT_LOGPATH \S+', 'OCS_OPT_LOGPATH "%s"' % sys.argv[4], text)
text = re.sub(r'OCS_OPT_LOGLEVEL \S+', 'OCS_OPT_LOGLEVEL 1', text)
open(sys.argv[2], 'w').write(text)
PY
    cat >"$OCS_WORK/httpd.conf" <<CONF
ServerRoot /etc/apache2
ServerName 127.0.0.1
Listen 127.0.0.1:$port
PidFile $OCS_WORK/apache.pid
DefaultRuntimeDir $OCS_WORK/run
Mutex file:$OCS_WORK/run default
ErrorLog $OCS_WORK/apache-error.log
LogLevel warn
$run_as
LoadModule mpm_prefork_module $modules/mod_mpm_prefork.so
LoadModule authz_core_module $modules/mod_authz_core.so
LoadModule perl_module $modules/mod_perl.so
StartServers 2
MinSpareServers 1
MaxSpareServers 2
DocumentRoot $OCS_WORK/www
Include $OCS_WORK/ocs.conf
CONF
}

ocs_start() {
    OCS_WORK=$1
    mkdir -p "$OCS_WORK"
    [ "$(id -u)" -ne 0 ] || chmod 755 "$OCS_WORK"
    ocs_start_database || { echo "ocs_server: the database did not start: $(tail -3 "$OCS_WORK/db-install.log" "$OCS_WORK/db/error.log" 2>/dev/null)" >&2; return 1; }
    local port
    port=$(ocs_free_port)
    ocs_apache_config "$port"
    apache2 -f "$OCS_WORK/httpd.conf" -k start || return 1
    OCS_URL="http://127.0.0.1:$port/ocsinventory"
    ocs_wait "python3 -c 'import socket; socket.create_connection((\"127.0.0.1\", $port), 1)'" 300 ||
        { echo "ocs_server: Apache did not start: $(tail -3 "$OCS_WORK/apache-error.log")" >&2; return 1; }
}

ocs_stop_apache() {
    [ -f "$OCS_WORK/apache.pid" ] || return 0
    apache2 -f "$OCS_WORK/httpd.conf" -k stop 2>/dev/null
    ocs_wait "[ ! -e '$OCS_WORK/apache.pid' ]" 100
}

ocs_stop() {
    [ -n "${OCS_WORK:-}" ] || return 0
    ocs_stop_apache
    if [ -n "${OCS_DB_PID:-}" ]; then
        kill "$OCS_DB_PID" 2>/dev/null
        wait "$OCS_DB_PID" 2>/dev/null
        OCS_DB_PID=""
    fi
}
