#!/usr/bin/env bash
# A PostgreSQL server of this machine's own for the tests and benchmarks, in FOLDER: its
# data, its log and its Unix socket, no TCP port. The server refuses to run as root, so as
# root it runs as nobody.
#
#   test_server.sh start FOLDER    a new server (whatever FOLDER held before is removed)
#                                  with the database scans, the superuser vkd_admin and
#                                  the role clicker that owns only its schema
#                                  vkdclicker; their passwords in FOLDER/pgpass
#   test_server.sh crash FOLDER    stopped at once, as a crash would (pg_ctl -m immediate)
#   test_server.sh resume FOLDER   started again on the same data
#   test_server.sh stop FOLDER     stopped and removed
#
# Clients connect with PGHOST=FOLDER PGPASSFILE=FOLDER/pgpass.
set -euo pipefail

command=$1
folder=$2

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ]; then
  echo "no PostgreSQL server installed: install Debian's postgresql" >&2
  exit 1
fi

if [ "$(id -u)" -eq 0 ]; then
  owner=nobody
  as_owner() { setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups -- "$@"; }
else
  owner=$(id -un)
  as_owner() { "$@"; }
fi

ctl() { as_owner "$bin/pg_ctl" -D "$folder/data" "$@"; }

running() { [ -f "$folder/data/postmaster.pid" ] && ctl status >/dev/null 2>&1; }

resume() {
  ctl -l "$folder/log" -w -t 60 -o "-c listen_addresses='' -c unix_socket_directories='$folder'" start >/dev/null
}

stop_and_remove() {
  if running; then ctl -m immediate -w stop >/dev/null; fi
  rm -rf "$folder"
}

sql() {
  PGHOST=$folder PGPASSFILE=$folder/pgpass "$bin/psql" -X -q -v ON_ERROR_STOP=1 -U vkd_admin "$@"
}

start() {
  stop_and_remove
  mkdir -p "$folder"
  chmod 700 "$folder"
  chown "$owner" "$folder"
  local admin_password station_password
  admin_password=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  station_password=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  echo "$admin_password" >"$folder/admin-password"
  chown "$owner" "$folder/admin-password"
  as_owner "$bin/initdb" -D "$folder/data" -U vkd_admin --pwfile="$folder/admin-password" \
    --auth=scram-sha-256 -E UTF8 --locale=C >"$folder/initdb.log"
  rm "$folder/admin-password"
  printf '*:*:*:vkd_admin:%s\n*:*:*:clicker:%s\n' "$admin_password" "$station_password" >"$folder/pgpass"
  chmod 600 "$folder/pgpass"
  resume
  sql -d postgres -c "CREATE DATABASE scans"
  # As a DBA gives a station's role its store: a schema of its own, nothing else.
  sql -d scans <<SQL
CREATE ROLE clicker LOGIN PASSWORD '$station_password';
CREATE SCHEMA vkdclicker AUTHORIZATION clicker;
SQL
}

case $command in
  start) start ;;
  crash) ctl -m immediate -w stop >/dev/null ;;
  resume) resume ;;
  stop) stop_and_remove ;;
  *)
    echo "usage: $0 start|crash|resume|stop FOLDER" >&2
    exit 2
    ;;
esac
