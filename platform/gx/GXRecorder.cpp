#include "platform/gx/GXInternal.h"

#include <cstring>

GXContext gx;

namespace {

constexpr u32 DEFAULT_FRAMES_KEPT = 4;

const char* const callNames[GXHOST_CALL_COUNT] = {
	"GXInit", "GXInitFifoBase", "GXSetCPUFifo", "GXSetGPFifo", "GXSetCurrentGXThread",
	"GXFlush", "GXResetWriteGatherPipe", "GXDrawDone", "GXPixModeSync", "GXSetDrawSync",
	"GXEnableBreakPt", "GXDisableBreakPt", "GXSetBreakPtCallback",
	"GXClearVtxDesc", "GXSetVtxDesc", "GXSetVtxAttrFmt", "GXSetArray", "GXInvalidateVtxCache",
	"GXBegin", "GXEnd", "GXBeginDisplayList", "GXEndDisplayList", "GXCallDisplayList",
	"GXLoadPosMtxImm", "GXLoadNrmMtxImm", "GXLoadTexMtxImm", "GXSetCurrentMtx", "GXSetProjection",
	"GXSetViewport", "GXSetViewportJitter", "GXSetScissor", "GXSetScissorBoxOffset",
	"GXSetPixelFmt", "GXSetZMode", "GXSetZCompLoc", "GXSetBlendMode", "GXSetColorUpdate",
	"GXSetAlphaUpdate", "GXSetDstAlpha", "GXSetAlphaCompare", "GXSetCullMode", "GXSetFog",
	"GXSetLineWidth", "GXSetPointSize",
	"GXSetNumChans", "GXSetChanCtrl", "GXSetChanMatColor", "GXSetChanAmbColor",
	"GXLoadLightObjImm",
	"GXSetNumTexGens", "GXSetTexCoordGen2", "GXSetTexCoordScaleManual", "GXSetNumTevStages",
	"GXSetTevOrder", "GXSetTevOp", "GXSetTevColorIn", "GXSetTevAlphaIn", "GXSetTevColorOp",
	"GXSetTevAlphaOp", "GXSetTevColor", "GXSetTevColorS10", "GXSetTevKColor",
	"GXSetTevKColorSel", "GXSetTevKAlphaSel", "GXSetTevSwapMode", "GXSetTevSwapModeTable",
	"GXLoadTexObj", "GXLoadTexObjPreLoaded", "GXLoadTlut", "GXInvalidateTexAll",
	"GXSetDispCopySrc", "GXSetDispCopyDst", "GXSetDispCopyYScale", "GXSetDispCopyGamma",
	"GXSetCopyFilter", "GXSetCopyClear", "GXSetCopyClamp", "GXSetFieldMode", "GXCopyDisp",
	"GXSetTexCopySrc", "GXSetTexCopyDst", "GXCopyTex",
};

GXHostFrame& Current() {
	if ( gx.frames.empty() ) {
		gx.frames.emplace_back();
	}
	return gx.frames.back();
}

void Append( const GXHostCall call, const std::initializer_list<u32> args ) {
	GXHostRecord record = { call, {} };
	u32 i = 0;
	for ( const u32 word : args ) {
		if ( i < 8 ) {
			record.args[i++] = word;
		}
	}
	GXHostFrame& frame = Current();
	frame.records.push_back( record );
	frame.counts[call]++;
}

}	// namespace

void GXRecord( const GXHostCall call, const std::initializer_list<u32> args ) {
	if ( gx.inList ) {
		GXHostRaiseFault( GXHOST_FAULT_LIST_STATE_CALL, call );
	}
	Append( call, args );
	GXWriteCommand( GXCOMMAND_STATE, GXHOST_COMMAND_BYTES );
}

void GXRecordCpu( const GXHostCall call, const std::initializer_list<u32> args ) {
	Append( call, args );
}

void GXLogDraw( GXHostDraw&& draw ) {
	Current().draws.push_back( std::move( draw ) );
}

// A display copy closes the frame; the next call opens a new one.
void GXHostEndFrameAfterCopy() {
	gx.frames.emplace_back();
	while ( gx.frames.size() > gx.framesKept ) {
		gx.frames.pop_front();
	}
}

void GXHostReset() {
	GXResetGpu();
	GXResetState();
	gx.frames.clear();
	gx.framesKept = DEFAULT_FRAMES_KEPT;
	gx.faults.clear();
	gx.vtxInvalidations = 0;
	gx.texInvalidations = 0;
	gx.copySerialIssued = 0;
	gx.copiesExecuted = 0;
	gx.xfbSerials.clear();
	gx.efb.assign( GXHOST_EFB_WIDTH * GXHOST_EFB_HEIGHT, 0 );
}

const GXHostRenderState& GXHostState() {
	return gx.render;
}

const GXHostCopyState& GXHostCopy() {
	return gx.copy;
}

void GXHostSetFramesKept( const u32 frames ) {
	gx.framesKept = frames > 0 ? frames : 1;
	while ( gx.frames.size() > gx.framesKept ) {
		gx.frames.pop_front();
	}
}

void GXHostClearLog() {
	gx.frames.clear();
	gx.frames.emplace_back();
}

const GXHostDeque<GXHostFrame>& GXHostFrames() {
	Current();
	return gx.frames;
}

const GXHostFrame& GXHostCurrentFrame() {
	return Current();
}

u32 GXHostCallCount( const GXHostCall call ) {
	return call < GXHOST_CALL_COUNT ? Current().counts[call] : 0;
}

const char* GXHostCallName( const GXHostCall call ) {
	return call < GXHOST_CALL_COUNT ? callNames[call] : "?";
}

const GXHostVector<GXHostFault>& GXHostFaults() {
	return gx.faults;
}

void GXHostClearFaults() {
	gx.faults.clear();
}

void GXHostRaiseFault( const GXHostFaultKind kind, const u32 detail ) {
	gx.faults.push_back( { kind, detail } );
}

std::vector<u32> GXHostTriangles( const GXHostDraw& draw ) {
	std::vector<u32> out;
	const u32 n = static_cast<u32>( draw.vertices.size() );
	switch ( draw.primitive ) {
		case GX_TRIANGLES:
			for ( u32 i = 0; i + 2 < n; i += 3 ) {
				out.insert( out.end(), { i, i + 1, i + 2 } );
			}
			break;
		case GX_TRIANGLESTRIP:
			// Every second triangle swaps its first two vertices so that
			// all keep the winding of the first.
			for ( u32 i = 0; i + 2 < n; i++ ) {
				if ( i & 1 ) {
					out.insert( out.end(), { i + 1, i, i + 2 } );
				} else {
					out.insert( out.end(), { i, i + 1, i + 2 } );
				}
			}
			break;
		case GX_TRIANGLEFAN:
			for ( u32 i = 1; i + 1 < n; i++ ) {
				out.insert( out.end(), { 0u, i, i + 1 } );
			}
			break;
		case GX_QUADS:
			for ( u32 i = 0; i + 3 < n; i += 4 ) {
				out.insert( out.end(), { i, i + 1, i + 2, i, i + 2, i + 3 } );
			}
			break;
		default:
			break;
	}
	return out;
}

u32 GXHostVtxCacheInvalidations() {
	return gx.vtxInvalidations;
}

u32 GXHostTexCacheInvalidations() {
	return gx.texInvalidations;
}
