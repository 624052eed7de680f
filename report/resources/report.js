// The HTML report's behaviour, plain JavaScript without any library: the
// tables (sorted, filtered, paged, each downloadable as TSV), the choice of
// a row shown on the map and the dot plot, marks on them choosing their row,
// hover, zoom and pan. Everything it reads is in the page itself; it makes
// no request. With the address ending in #selftest it clicks the first row
// of a table of pairs once loaded and writes what it saw into the page, for
// the browser test.
(function () {
  'use strict';
  var started = performance.now();
  var data = JSON.parse(document.getElementById('tessaron-data').textContent);
  var PAGE = 50;
  var SVGNS = document.getElementById('map').namespaceURI;
  var tables = {};
  var map = document.getElementById('map');
  var dotplot = document.getElementById('dotplot');

  function el(name, attrs, text) {
    var node = document.createElement(name);
    for (var key in attrs || {}) { node.setAttribute(key, attrs[key]); }
    if (text !== undefined) { node.textContent = text; }
    return node;
  }
  function svgEl(name, attrs) {
    var node = document.createElementNS(SVGNS, name);
    for (var key in attrs) { node.setAttribute(key, attrs[key]); }
    return node;
  }
  function compare(a, b) {
    var x = Number(a), y = Number(b);
    if (a !== '' && b !== '' && !isNaN(x) && !isNaN(y)) { return x - y; }
    return String(a) < String(b) ? -1 : String(a) > String(b) ? 1 : 0;
  }

  // ---- tables ----
  function Table(section, node) {
    this.s = section;
    this.node = node;
    this.order = section.rows.map(function (_, i) { return i; });
    this.shown = this.order;
    this.page = 0;
    this.sort = -1;
    this.descending = false;
    this.selected = -1;
    this.marks = {};
    var self = this;
    section.marks.forEach(function (m) { (self.marks[m[0]] = self.marks[m[0]] || []).push(m); });
    var controls = node.querySelector('.controls');
    this.filter = el('input', { type: 'search', placeholder: 'Filter rows (any cell contains)' });
    this.filter.addEventListener('input', function () { self.applyFilter(); });
    var download = el('button', { type: 'button' }, 'Download TSV');
    download.addEventListener('click', function () { self.download(); });
    controls.appendChild(this.filter);
    controls.appendChild(document.createTextNode(' '));
    controls.appendChild(download);
    this.count = el('span', { 'class': 'count' });
    controls.appendChild(document.createTextNode(' '));
    controls.appendChild(this.count);
    var table = node.querySelector('table.rows');
    var head = el('thead');
    var tr = el('tr');
    section.columns.forEach(function (name, column) {
      var th = el('th', {}, name);
      th.addEventListener('click', function () { self.sortBy(column); });
      tr.appendChild(th);
    });
    head.appendChild(tr);
    table.appendChild(head);
    this.body = el('tbody');
    table.appendChild(this.body);
    this.body.addEventListener('click', function (event) {
      var row = event.target.closest('tr');
      if (row) { select(section.id, Number(row.dataset.i), false); }
    });
    var pager = node.querySelector('.pager');
    this.previous = el('button', { type: 'button' }, '\u2039 Previous');
    this.next = el('button', { type: 'button' }, 'Next \u203a');
    this.pageText = el('span');
    this.previous.addEventListener('click', function () { self.go(self.page - 1); });
    this.next.addEventListener('click', function () { self.go(self.page + 1); });
    pager.appendChild(this.previous);
    pager.appendChild(document.createTextNode(' '));
    pager.appendChild(this.pageText);
    pager.appendChild(document.createTextNode(' '));
    pager.appendChild(this.next);
    this.render();
  }
  Table.prototype.pages = function () { return Math.max(1, Math.ceil(this.shown.length / PAGE)); };
  Table.prototype.go = function (page) {
    this.page = Math.min(Math.max(page, 0), this.pages() - 1);
    this.render();
  };
  Table.prototype.applyFilter = function () {
    var words = this.filter.value.toLowerCase();
    var rows = this.s.rows;
    this.shown = words === '' ? this.order : this.order.filter(function (i) {
      return rows[i].some(function (cell) { return String(cell).toLowerCase().indexOf(words) >= 0; });
    });
    this.go(0);
  };
  Table.prototype.sortBy = function (column) {
    var rows = this.s.rows;
    this.descending = this.sort === column ? !this.descending : false;
    this.sort = column;
    var sign = this.descending ? -1 : 1;
    this.order = this.order.slice().sort(function (a, b) {
      return sign * compare(rows[a][column], rows[b][column]) || a - b;
    });
    this.applyFilter();
  };
  Table.prototype.render = function () {
    var rows = this.s.rows;
    var body = el('tbody');
    var from = this.page * PAGE;
    var self = this;
    this.shown.slice(from, from + PAGE).forEach(function (i) {
      var tr = el('tr', { 'data-i': i });
      if (i === self.selected) { tr.className = 'sel'; }
      rows[i].forEach(function (cell) { tr.appendChild(el('td', {}, String(cell))); });
      body.appendChild(tr);
    });
    this.body.replaceChildren.apply(this.body, Array.prototype.slice.call(body.childNodes));
    this.pageText.textContent = 'page ' + (this.page + 1) + ' of ' + this.pages();
    this.previous.disabled = this.page === 0;
    this.next.disabled = this.page + 1 >= this.pages();
    this.count.textContent = this.shown.length + ' of ' + rows.length + ' rows';
  };
  Table.prototype.reveal = function (row) {
    var at = this.shown.indexOf(row);
    if (at < 0) { this.filter.value = ''; this.shown = this.order; at = this.order.indexOf(row); }
    this.page = Math.floor(at / PAGE);
    this.render();
  };
  Table.prototype.download = function () {
    var lines = [this.s.columns.join('\t')];
    this.s.rows.forEach(function (row) { lines.push(row.join('\t')); });
    var blob = new Blob([lines.join('\n') + '\n'], { type: 'text/tab-separated-values' });
    var link = el('a', { href: URL.createObjectURL(blob), download: this.s.id + '.tsv' });
    document.body.appendChild(link);
    link.click();
    link.remove();
  };

  // ---- the map and the dot plot ----
  var length = data.length || 1;
  function angle(position) { return position * 2 * Math.PI / length - Math.PI / 2; }
  function at(position, radius) {
    var cx = Number(map.dataset.cx), cy = Number(map.dataset.cy), a = angle(position);
    return (cx + radius * Math.cos(a)).toFixed(1) + ',' + (cy + radius * Math.sin(a)).toFixed(1);
  }
  function arc(start, count, radius) {
    var large = count * 2 > length ? 1 : 0;
    var end = Math.min(start + Math.max(count, length / 720), start + length - 1);
    return 'M' + at(start, radius) + 'A' + radius + ',' + radius + ' 0 ' + large + ' 1 ' + at(end, radius);
  }
  function highlight(section, row) {
    var group = document.getElementById('highlight');
    var dots = document.getElementById('dothighlight');
    group.replaceChildren();
    dots.replaceChildren();
    group.setAttribute('data-s', section);
    group.setAttribute('data-r', row);
    document.querySelectorAll('.layer .chosen').forEach(function (node) { node.classList.remove('chosen'); });
    var scale = 400 / length;
    (tables[section].marks[row] || []).forEach(function (m) {
      // A gapped pair's second copy has a length of its own (m[5]).
      var first = m[2], second = m[3], count = m[4], count2 = m.length > 5 ? m[5] : m[4];
      if (second < 0) {
        group.appendChild(svgEl('path', { 'class': 'copy', d: arc(first, count, 175), 'data-r': row }));
        return;
      }
      group.appendChild(svgEl('path', { 'class': 'copy', d: arc(first, count, 167), 'data-r': row }));
      group.appendChild(svgEl('path', { 'class': 'copy', d: arc(second, count2, 167), 'data-r': row }));
      group.appendChild(svgEl('path', {
        d: 'M' + at(first + count / 2, 164) + 'Q' + map.dataset.cx + ',' + map.dataset.cy + ' ' +
          at(second + count2 / 2, 164), 'data-r': row }));
      var along = m[1] === 0 || m[1] === 3;
      [[first, count, second, count2], [second, count2, first, count]].forEach(function (p) {
        var x0 = p[0] * scale, x1 = (p[0] + p[1] - 1) * scale;
        var y0 = along ? p[2] * scale : (p[2] + p[3] - 1) * scale;
        var y1 = along ? (p[2] + p[3] - 1) * scale : p[2] * scale;
        dots.appendChild(svgEl('path', { d: 'M' + x0 + ',' + y0 + 'L' + (x1 + 0.01) + ',' + y1, 'data-r': row }));
      });
    });
    document.querySelectorAll('.layer[data-s="' + section + '"] [data-r="' + row + '"]').forEach(function (node) {
      node.classList.add('chosen');
    });
  }
  function select(section, row, fromFigure) {
    var table = tables[section];
    if (!table) { return; }
    Object.keys(tables).forEach(function (id) {
      if (tables[id].selected >= 0) { tables[id].selected = -1; tables[id].render(); }
    });
    table.selected = row;
    if (fromFigure) {
      table.reveal(row);
      table.node.scrollIntoView({ block: 'start' });
    } else {
      table.render();
    }
    highlight(section, row);
  }

  var tip = document.getElementById('tip');
  function markOf(target) {
    var layer = target.closest && target.closest('.layer');
    if (!layer || !target.hasAttribute('data-r')) { return null; }
    return { s: layer.dataset.s, r: Number(target.getAttribute('data-r')) };
  }
  function describe(mark) {
    var table = tables[mark.s];
    var row = table.s.rows[mark.r];
    return table.s.title + ': ' + table.s.columns.map(function (name, i) {
      return name + ' ' + row[i];
    }).join(', ');
  }

  // Zoom with the wheel, pan by dragging, reset with a double click; a
  // click that did not drag chooses the mark under it.
  function figure(svg) {
    var full = svg.viewBox.baseVal;
    var home = [full.x, full.y, full.width, full.height];
    var box = home.slice();
    var drag = null;
    function apply() { svg.setAttribute('viewBox', box.join(' ')); }
    svg.addEventListener('wheel', function (event) {
      event.preventDefault();
      var rect = svg.getBoundingClientRect();
      var fx = (event.clientX - rect.left) / rect.width, fy = (event.clientY - rect.top) / rect.height;
      var factor = event.deltaY < 0 ? 0.8 : 1.25;
      var width = Math.min(home[2], Math.max(home[2] / 200, box[2] * factor));
      var height = width * home[3] / home[2];
      box = [box[0] + (box[2] - width) * fx, box[1] + (box[3] - height) * fy, width, height];
      apply();
    }, { passive: false });
    svg.addEventListener('mousedown', function (event) {
      drag = { x: event.clientX, y: event.clientY, box: box.slice(), moved: false };
    });
    window.addEventListener('mousemove', function (event) {
      if (!drag) { return; }
      var rect = svg.getBoundingClientRect();
      var dx = (event.clientX - drag.x) * box[2] / rect.width, dy = (event.clientY - drag.y) * box[3] / rect.height;
      if (Math.abs(event.clientX - drag.x) + Math.abs(event.clientY - drag.y) > 3) { drag.moved = true; }
      box = [drag.box[0] - dx, drag.box[1] - dy, box[2], box[3]];
      apply();
    });
    window.addEventListener('mouseup', function () { setTimeout(function () { drag = null; }, 0); });
    svg.addEventListener('dblclick', function () { box = home.slice(); apply(); });
    svg.addEventListener('click', function (event) {
      if (drag && drag.moved) { return; }
      var mark = markOf(event.target);
      if (mark) { select(mark.s, mark.r, true); }
    });
    svg.addEventListener('mousemove', function (event) {
      var mark = markOf(event.target);
      if (!mark) { tip.hidden = true; return; }
      tip.textContent = describe(mark);
      tip.style.left = (event.clientX + 12) + 'px';
      tip.style.top = (event.clientY + 12) + 'px';
      tip.hidden = false;
    });
    svg.addEventListener('mouseleave', function () { tip.hidden = true; });
  }

  data.sections.forEach(function (section) {
    var node = document.querySelector('section.table[data-s="' + section.id + '"]');
    if (node) { tables[section.id] = new Table(section, node); }
  });
  if (map) { figure(map); }
  if (dotplot) { figure(dotplot); }
  var ready = performance.now();

  if (location.hash === '#selftest') {
    var report = { ready_ms: Math.round(ready), script_ms: Math.round(ready - started) };
    var chosen = data.sections.filter(function (s) {
      return s.marks.some(function (m) { return m[3] >= 0; });
    })[0];
    if (chosen) {
      var row = chosen.marks.filter(function (m) { return m[3] >= 0; })[0][0];
      var table = tables[chosen.id];
      table.reveal(row);
      table.body.querySelector('tr[data-i="' + row + '"]').dispatchEvent(new MouseEvent('click', { bubbles: true }));
      var group = document.getElementById('highlight');
      report.section = chosen.id;
      report.row = row;
      report.highlighted_section = group.getAttribute('data-s');
      report.highlighted_row = Number(group.getAttribute('data-r'));
      report.highlight_paths = group.querySelectorAll('path[data-r="' + row + '"]').length;
      report.selected_rows = document.querySelectorAll('tr.sel').length;
    }
    // Whether the map left marks out, and whether the page says so.
    report.map_cut = data.sections.some(function (s) {
      var layer = map.querySelector('.layer[data-s="' + s.id + '"]:not(.ring)');
      return layer !== null && layer.querySelectorAll('[data-r]').length < s.marks.length;
    });
    report.cut_said = document.getElementById('drawn-in-part') !== null;
    report.tables = Object.keys(tables).length;
    report.resources = performance.getEntriesByType('resource').length;
    var out = el('pre', { id: 'selftest-result' }, JSON.stringify(report));
    document.body.appendChild(out);
  }
}());
