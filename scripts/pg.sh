# Sourced by the test script: a private PostgreSQL server for the tests.
# PostgreSQL will not run as root, so the server runs as the postgres user on a
# folder it owns, listening on 127.0.0.1 and a free port. pg_start exports
# QEV_TEST_PG ("host=... port=... user=... dbname=...") for the tests, and
# QEV_TEST_PG_LOGIN for a read-only role that must give its password
# ("user=... password=..."): every other login of the server is trusted.
# odbc_start registers the PostgreSQL ODBC driver in a folder of its own
# (ODBCSYSINI), so the machine's ODBC set-up is neither used nor changed, and
# exports QEV_TEST_ODBC_DRIVER and QEV_TEST_ODBC_ANSI_DRIVER with the names of
# its Unicode and its ANSI (code page) variant.

pg_bin() { ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1; }

pg_start() {
  local bin port
  bin=$(pg_bin)
  PG_DIR=$(mktemp -d /tmp/qev-pg.XXXXXX)
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  local as=()
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres "$PG_DIR"
    as=(runuser -u postgres --)
  fi
  "${as[@]}" "$bin/initdb" -D "$PG_DIR/data" -U qev --auth=trust -E UTF8 --locale=C.UTF-8 >"$PG_DIR/initdb.log"
  # The first matching line wins: this role alone logs in with a password.
  "${as[@]}" sed -i '/^# TYPE/a host all qev_clave 127.0.0.1/32 scram-sha-256' "$PG_DIR/data/pg_hba.conf"
  "${as[@]}" "$bin/pg_ctl" -D "$PG_DIR/data" -l "$PG_DIR/server.log" -w \
    -o "-c listen_addresses=127.0.0.1 -p $port -k $PG_DIR -c fsync=off" start >/dev/null
  "$bin/psql" -h 127.0.0.1 -p "$port" -U qev -d postgres -qc \
    "CREATE ROLE qev_clave LOGIN PASSWORD 'clave-de-prueba' IN ROLE pg_read_all_data" >/dev/null
  export QEV_TEST_PG="host=127.0.0.1 port=$port user=qev dbname=postgres"
  export QEV_TEST_PG_LOGIN="user=qev_clave password=clave-de-prueba"
  echo "PostgreSQL for the tests on 127.0.0.1:$port"
  PG_AS=("${as[@]}")
  PG_BIN=$bin
}

pg_stop() {
  [ -n "${PG_DIR:-}" ] || return 0
  "${PG_AS[@]}" "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -m fast stop >/dev/null 2>&1 || true
  rm -rf "$PG_DIR"
}

odbc_start() {
  local unicode ansi
  unicode=$(dpkg-query -L odbc-postgresql | grep '/psqlodbcw\.so$' | head -n 1)
  ansi=$(dpkg-query -L odbc-postgresql | grep '/psqlodbca\.so$' | head -n 1)
  [ -n "$unicode" ] && [ -n "$ansi" ] || { echo "odbc-postgresql is not installed" >&2; return 1; }
  ODBC_DIR=$(mktemp -d /tmp/qev-odbc.XXXXXX)
  printf '[PostgreSQL Unicode]\nDriver=%s\n\n[PostgreSQL ANSI]\nDriver=%s\n' \
    "$unicode" "$ansi" >"$ODBC_DIR/odbcinst.ini"
  : >"$ODBC_DIR/odbc.ini"
  export ODBCSYSINI=$ODBC_DIR
  export QEV_TEST_ODBC_DRIVER="PostgreSQL Unicode"
  export QEV_TEST_ODBC_ANSI_DRIVER="PostgreSQL ANSI"
  echo "ODBC drivers for the tests: $unicode, $ansi"
}

odbc_stop() {
  [ -n "${ODBC_DIR:-}" ] || return 0
  rm -rf "$ODBC_DIR"
}
