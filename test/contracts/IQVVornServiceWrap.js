'use strict';
// The object store: the download folder and uploads.

const { CB, named, serviceChain } = require('./common');

module.exports = {
  className: 'IQVVornServiceWrap',
  make: (ctx) => ctx.kit.getVornService(),
  links: named('IQVParlo', serviceChain('vornService')),
  methods: [
    { name: 'setVornDownloadFilePath', args: ['/downloads/v1'], sdk: { op: 'setVornDownloadFilePath', args: ['/downloads/v1'] },
      returns: null, fail: null },
    { name: 'uploadResource', args: ['/data/report.pdf', CB], async: true,
      sdk: { op: 'uploadResource', args: ['/data/report.pdf'] }, answer: { result: 'vorn://report-7' },
      result: 'vorn://report-7', returns: null, fail: null },
  ],
};
