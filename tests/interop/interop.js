"use strict";
// Peer check: streams written by insigno-mkts are read by insigno-scan and by aribts, an
// independent ARIB parser; the logo references and logos both report must agree, and so must
// the logos of the common-data carousel (aribts decodes the PAT, PMT, DSM-CC messages and logo
// modules; the blocks are put together here).
// Usage: node interop.js INSIGNO_MKTS INSIGNO_SCAN WORK_DIR
// Streams avoid what aribts treats differently on purpose: no logo whose data_size overruns its
// section, no junk between packets, no fault where aribts (which stops following the continuity
// counter between sections) would lose more than the section in progress.

const assert = require("node:assert/strict");
const childProcess = require("node:child_process");
const crypto = require("node:crypto");
const fs = require("node:fs");
const path = require("node:path");
const aribts = require("aribts");

const [mkts, scan, workDir] = process.argv.slice(2);
if (!mkts || !scan || !workDir) {
    console.error("usage: node interop.js INSIGNO_MKTS INSIGNO_SCAN WORK_DIR");
    process.exit(2);
}
fs.mkdirSync(workDir, { recursive: true });

// A logo file of 3000 bytes: its section spans 17 packets.
const bigLogo = path.join(workDir, "big-logo.bin");
fs.writeFileSync(bigLogo, Buffer.from(Array.from({ length: 3000 }, (_, i) => (i * 131 + 17) & 0xff)));

const limits = [
    "--network", "0xFFFF", "--tsid", "0",
    "--service", "0xFFFF:1:0x1FF:0xFFF:0xFFFF", "--service", "0:2:0x1FF",
    "--service", "0x0010:3:LOGO", "--service", "0x0011",
    "--service", "0x0012:1:0:0:0",
    "--logo", "0xFFFF:0x1FF:0xFFF:5", "--logo", "0:0:0:0", "--logo", "0:0:1:0",
    "--logo", "0x1234:0x100:0x800:3:" + bigLogo, "--logo", "0x1234:0x101:1:0xFF",
    "--repeat", "3", "--filler", "5"];

// Each case: mkts options and the packet size aribts is told. Both must report the same
// sequence, packed sections (several starting in one packet) included.
const cases = [
    { name: "sample", args: [], packetSize: 188 },
    { name: "sample-other-sdt", args: ["--other", "--network", "0x0004", "--tsid", "0x4010"],
      packetSize: 188 },
    { name: "sample-192", args: ["--packet-size", "192"], packetSize: 192 },
    { name: "sample-204", args: ["--packet-size", "204"], packetSize: 204 },
    { name: "sample-back-to-back", args: ["--back-to-back", "--filler", "0"], packetSize: 188 },
    { name: "limits", packetSize: 188, args: limits },
    { name: "limits-back-to-back", packetSize: 188, args: [...limits, "--back-to-back"] },
];

// Carousel streams: BS and CS modules of several blocks, in turn, interleaved and repeated.
const carouselLogos = [
    "--network", "4", "--tsid", "0x40F1",
    "--carousel", "bs:5:0x101:4/0x40F1/101,7/0x7001/301", "--carousel", "bs:5:0x1FF:4/0x40F1/102",
    "--carousel", "bs:0:0x101:4/0x40F1/101", "--carousel", "cs:5:0x120:6/0x7001/201",
    "--carousel", "cs:3:0:6/0x7001/202:" + bigLogo];
const carouselCases = [
    { name: "carousel", args: [...carouselLogos, "--repeat", "1"] },
    { name: "carousel-small-blocks", args: [...carouselLogos, "--block-size", "97", "--repeat", "1"] },
    { name: "carousel-interleaved-repeated", args: [...carouselLogos, "--block-size", "500",
        "--interleave", "--repeat-blocks", "--module-version", "9", "--repeat", "1"] },
];

// Packets as real multiplexers send them, on every section PID: both readers must keep and lose
// the same sections; `loses` shapes must lose some of the plain stream's CDT logos, the others
// none.
const shapes = [
    ...[0, 1, 2, 100, 181, 182].map(n => ({ name: `adaptation-${n}`, args: ["--adaptation", `${n}`] })),
    { name: "adaptation-only", args: ["--adaptation-only"] },
    { name: "repeated", args: ["--repeat-packets"] },
    { name: "counter-gap", args: ["--counter-gap", "2"], loses: true },
    { name: "transport-error", args: ["--transport-error", "3"], loses: true,
      carouselArgs: ["--transport-error", "5"] },
];
for (const shape of shapes) {
    cases.push({ name: `limits-${shape.name}`, packetSize: 188, args: [...limits, ...shape.args],
                 plain: "limits", loses: !!shape.loses });
    carouselCases.push({ name: `carousel-${shape.name}`,
                         args: [...carouselLogos, "--block-size", "500", "--repeat", "3", ...(shape.carouselArgs || shape.args)] });
}

function runTool(tool, args) {
    const result = childProcess.spawnSync(tool, args, { maxBuffer: 64 * 1024 * 1024 });
    if (result.status !== 0) {
        throw new Error(`${path.basename(tool)} ${args.join(" ")} exited ${result.status}: ` +
                        `${result.stderr}`);
    }
    return result.stdout.toString();
}

// What insigno-scan reports, in the form compared below.
function scanResults(file) {
    const sdt = [];
    const cdt = [];
    for (const line of runTool(scan, [file]).split("\n").filter(l => l.length > 0)) {
        const entry = JSON.parse(line);
        if (entry.table === "sdt") {
            sdt.push({ onid: entry.onid, services: entry.services.map(s => referenceKey(
                s.service_id, s.type, s.logo_id, s.logo_version, s.download_data_id)) });
        } else {
            assert.equal(entry.table, "cdt");
            cdt.push(logoKey(entry.onid, entry.download_data_id, entry.logo_type, entry.logo_id,
                             entry.logo_version, entry.size, entry.sha256));
        }
    }
    return { sdt, cdt };
}

// Type 2 takes version and download data id from a type 1 service in our parser; aribts gives
// only the logo id, so the comparison stops there. Type 3 carries no ids.
function referenceKey(serviceId, type, logoId, version, downloadDataId) {
    if (type === 1) return `${serviceId}:1:${logoId}:${version}:${downloadDataId}`;
    if (type === 2) return `${serviceId}:2:${logoId}`;
    return `${serviceId}:${type}`;
}

function logoKey(onid, downloadDataId, type, logoId, version, size, sha256) {
    return `${onid}/${downloadDataId}/${type}/${logoId}/${version}/${size}/${sha256}`;
}

// What aribts reports for every section whose CRC it accepts.
function aribtsResults(file, packetSize) {
    return new Promise((resolve, reject) => {
        const sdt = [];
        const cdt = [];
        const connector = new aribts.TsReadableConnector();
        const packetParser = new aribts.TsPacketParser({ packetSize });
        const sectionParser = new aribts.TsSectionParser();

        sectionParser.on("sdt", section => {
            const decoded = section.decode();
            if (decoded.current_next_indicator !== 1) return;
            const services = new Map();
            for (const service of decoded.services) {
                for (const descriptor of service.descriptors.decode()) {
                    if (descriptor.getDescriptorTag() !== 0xcf) continue;
                    const logo = descriptor.decode();
                    const type = logo.logo_transmission_type;
                    if (type < 1 || type > 3) continue;
                    // Our parser keeps a service's last logo transmission descriptor.
                    services.set(service.service_id, referenceKey(service.service_id, type,
                        logo.logo_id, logo.logo_version, logo.download_data_id));
                }
            }
            if (services.size === 0) return;
            const sorted = [...services.keys()].sort((a, b) => a - b).map(id => services.get(id));
            sdt.push({ onid: decoded.original_network_id, services: sorted });
        });
        sectionParser.on("cdt", section => {
            const decoded = section.decode();
            if (decoded.current_next_indicator !== 1 || decoded.data_type !== 0x01) return;
            const module = new aribts.tsDataModuleList.TsDataModuleCdtLogo(decoded.data_module)
                .decode();
            if (module.data.length === 0) return;
            cdt.push(logoKey(decoded.original_network_id, decoded.download_data_id,
                             module.logo_type, module.logo_id, module.logo_version,
                             module.data.length,
                             crypto.createHash("sha256").update(module.data).digest("hex")));
        });

        connector.pipe(packetParser);
        packetParser.pipe(sectionParser);
        connector.on("finish", () => resolve({ sdt, cdt }));
        connector.on("error", reject);
        fs.createReadStream(file).on("error", reject).pipe(connector);
    });
}

function carouselKey(module, version, type, logoId, services, size, sha256) {
    return `${module}/${version}/${type}/${logoId}/${services}/${size}/${sha256}`;
}

function ourCarousel(file) {
    const logos = [];
    for (const line of runTool(scan, [file]).split("\n").filter(l => l.length > 0)) {
        const entry = JSON.parse(line);
        if (entry.table !== "carousel") continue;
        const services = entry.services.map(s => `${s.onid}.${s.tsid}.${s.service_id}`).join(",");
        logos.push(carouselKey(entry.module, entry.module_version, entry.logo_type, entry.logo_id,
                               services, entry.size, entry.sha256));
    }
    return logos.sort();
}

// aribts's reading of the same stream: the engineering service's PMT from the PAT, the carousel
// PIDs by component tag, each module from the last DII and its blocks, and the logo module
// decoded by aribts's TsDataModuleLogo.
function aribtsCarousel(file) {
    return new Promise((resolve, reject) => {
        let pmtPid = -1;
        const carousels = new Map();  // PID -> { dii, blocks: Map }
        const connector = new aribts.TsReadableConnector();
        const packetParser = new aribts.TsPacketParser({ packetSize: 188 });
        const sectionParser = new aribts.TsSectionParser();
        sectionParser.on("pat", section => {
            for (const program of section.decode().programs) {
                if (program.program_number === 0x03A1) pmtPid = program.program_map_PID;
            }
        });
        sectionParser.on("pmt", section => {
            if (section.getPid() !== pmtPid) return;
            for (const stream of section.decode().streams) {
                for (const descriptor of stream.ES_info.decode()) {
                    if (descriptor.getDescriptorTag() !== 0x52) continue;
                    const tag = descriptor.decode().component_tag;
                    if ((tag === 0x79 || tag === 0x7A) && !carousels.has(stream.elementary_PID)) {
                        carousels.set(stream.elementary_PID, { dii: null, blocks: new Map() });
                    }
                }
            }
        });
        sectionParser.on("dsmcc", section => {
            const carousel = carousels.get(section.getPid());
            if (!carousel) return;
            const decoded = section.decode();
            if (decoded.table_id === 0x3B) {
                carousel.dii = decoded.userNetworkMessage.decode();
            } else if (decoded.table_id === 0x3C) {
                const block = decoded.downloadDataMessage.decode();
                carousel.blocks.set(`${block.moduleId}/${block.moduleVersion}/${block.blockNumber}`,
                                    block.blockDataByte);
            }
        });
        connector.on("finish", () => {
            const logos = [];
            for (const carousel of carousels.values()) {
                const dii = carousel.dii;
                if (!dii) continue;
                for (const module of dii.modules) {
                    const name = module.moduleInfo.decode()
                        .filter(d => d.getDescriptorTag() === 0x02)
                        .map(d => d.decode().text.toString("latin1"))[0];
                    if (!/^(CS_)?LOGO-0[0-5]$/.test(name)) continue;
                    const parts = [];
                    const count = Math.ceil(module.moduleSize / dii.blockSize);
                    for (let n = 0; n < count; n++) {
                        parts.push(carousel.blocks.get(`${module.moduleId}/${module.moduleVersion}/${n}`));
                    }
                    if (parts.some(part => part === undefined)) continue;
                    const bytes = Buffer.concat(parts);
                    const decodedModule = new aribts.tsDataModuleList.TsDataModuleLogo(bytes).decode();
                    for (const logo of decodedModule.logos) {
                        const services = logo.services.map(s =>
                            `${s.original_network_id}.${s.transport_stream_id}.${s.service_id}`).join(",");
                        logos.push(carouselKey(name, module.moduleVersion, decodedModule.logo_type,
                            logo.logo_id, services, logo.data.length,
                            crypto.createHash("sha256").update(logo.data).digest("hex")));
                    }
                }
            }
            resolve(logos.sort());
        });
        connector.on("error", reject);
        connector.pipe(packetParser);
        packetParser.pipe(sectionParser);
        fs.createReadStream(file).on("error", reject).pipe(connector);
    });
}

async function main() {
    const plainCdt = new Map();
    let passed = 0;
    let failed = 0;
    for (const testCase of carouselCases) {
        const file = path.join(workDir, `${testCase.name}.ts`);
        try {
            runTool(mkts, [...testCase.args, "-o", file]);
            const ours = ourCarousel(file);
            const theirs = await aribtsCarousel(file);
            assert.ok(theirs.length === 5, `aribts found ${theirs.length} carousel logos, not 5`);
            assert.deepEqual(ours, theirs, "carousel logos differ");
            console.log(`ok ${testCase.name}: ${ours.length} carousel logos (aribts ${theirs.length})`);
            ++passed;
        } catch (error) {
            console.log(`FAILED ${testCase.name}: ${error.message}`);
            ++failed;
        }
    }
    for (const testCase of cases) {
        const file = path.join(workDir, `${testCase.name}.ts`);
        try {
            runTool(mkts, [...testCase.args, "-o", file]);
            const ours = scanResults(file);
            const theirs = await aribtsResults(file, testCase.packetSize);
            assert.ok(theirs.sdt.length > 0 && theirs.cdt.length > 0, "aribts found nothing");
            assert.deepEqual(ours.sdt, theirs.sdt, "SDT logo references differ");
            assert.deepEqual(ours.cdt, theirs.cdt, "CDT logos differ");
            plainCdt.set(testCase.name, ours.cdt.length);
            if (testCase.plain) {
                const plain = plainCdt.get(testCase.plain);
                assert.ok(testCase.loses ? ours.cdt.length < plain : ours.cdt.length === plain,
                          `${ours.cdt.length} CDT logos beside ${plain} of the plain stream`);
            }
            console.log(`ok ${testCase.name}: ${ours.sdt.length} SDT and ${ours.cdt.length} CDT ` +
                        `results (aribts ${theirs.sdt.length} and ${theirs.cdt.length})`);
            ++passed;
        } catch (error) {
            console.log(`FAILED ${testCase.name}: ${error.message}`);
            ++failed;
        }
    }
    console.log(`${passed} passed, ${failed} failed`);
    process.exit(failed === 0 ? 0 : 1);
}

main();
