// Cameras, frame pacing and the external frame buffers of the console
// device driver.
//
// A frame moves: queued by show raster (its XFB and the FIFO position
// after its drawing) -> the GPU halts at the armed break point once the
// drawing is done -> the break-point callback advances the queue unless
// the copy would overwrite the picture on screen (then the post-retrace
// callback advances it) -> its copy runs and its draw-sync token passes
// -> a pre-retrace shows its XFB. Three queue slots, two frames in flight.

#include "graphics3d/gamecube/RwDlDriver.h"

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrixCombine.h"
#include "graphics3d/gamecube/RwDlRaster.h"
#include "platform/vi/VI.h"

namespace {

constexpr u32 CAMERA_MATRIX_FLAGS	= 0x20003;
constexpr u32 RASTER_TYPE_TEXTURE_BITS	= 0x5;		// Z buffer, texture, camera texture
constexpr u32 CLEAR_IMAGE			= 0x1;
constexpr u32 COPY_CLEAR_Z			= 0xFFFFFF;
constexpr u32 FSAA_GUARD_LINES		= 2;
constexpr u32 XFB_BYTES_PER_PIXEL	= 2;

s32 Next( const s32 index ) {
	return ( index + 1 ) % static_cast<s32>( RWDL_FRAME_QUEUE );
}

// The camera's view matrix: the inverse of its frame's world matrix,
// combined with the view offset.
void SetCameraMatrix( const RwCamera* camera ) {
	_RwDlInvCamLTM.flags = CAMERA_MATRIX_FLAGS;
	RwFrame* const frame = static_cast<RwFrame*>( camera->object.object.parent );
	if ( frame != nullptr ) {
		RwMatrixInvert( &_RwDlInvCamLTM, RwFrameGetLTM( frame ) );
	}
	const RwV2d& offset = camera->viewOffset;
	RwMatrix offsetMatrix = {};
	offsetMatrix.right = { 1.0f, 0.0f, 0.0f };
	offsetMatrix.up = { 0.0f, 1.0f, 0.0f };
	offsetMatrix.at = { -offset.x, offset.y, 1.0f };
	offsetMatrix.pos = { offset.x, -offset.y, 0.0f };
	RwMatrixTransform( &_RwDlInvCamLTM, &offsetMatrix, rwCOMBINEPOSTCONCAT );
}

void SetProjection( const RwCamera* camera ) {
	f32 projection[7] = { 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f };
	projection[1] = camera->recipViewWindow.x;
	projection[3] = camera->recipViewWindow.y;
	const f32 depth = camera->farPlane - camera->nearPlane;
	if ( camera->projectionType != rwPARALLEL ) {
		projection[0] = static_cast<f32>( GX_PERSPECTIVE );
		projection[5] = -camera->nearPlane / depth;
	} else {
		projection[0] = static_cast<f32>( GX_ORTHOGRAPHIC );
		projection[5] = -1.0f / depth;
	}
	projection[6] = camera->farPlane * projection[5];
	GXSetProjectionv( projection );
}

void SetPixelFormat( const u32 format ) {
	if ( _RwDlCurPixelFormat != format ) {
		GXSetPixelFmt( format, GX_ZC_LINEAR );
		_RwDlCurPixelFormat = format;
	}
}

// The antialiased frame is drawn in two halves, each with a guard band of
// two lines, into an embedded frame buffer that holds one half.
void SetFsaaScissor( const s32 x, const s32 y, const s32 h ) {
	const s32 half = static_cast<s32>( _RwDlHalfHeight );
	const s32 width = _RwDlRenderMode->fbWidth;
	const s32 guard = static_cast<s32>( FSAA_GUARD_LINES );
	if ( _RwDlFSAATop ) {
		const s32 limit = half + guard;
		if ( 2 * ( y + h ) <= limit ) {
			GXSetScissor( x, 2 * y, width, 2 * h );
		} else if ( 2 * y > limit ) {
			GXSetScissor( 0, 0, width, limit );
		} else {
			GXSetScissor( x, 2 * y, width, limit );
		}
		GXSetScissorBoxOffset( 0, 0 );
		return;
	}
	const s32 top = half - guard;
	if ( 2 * y >= top ) {
		GXSetScissor( x, 2 * y, width, 2 * h );
	} else if ( 2 * ( y + h ) < half + guard ) {
		GXSetScissor( 0, top, width, half + guard );
	} else {
		GXSetScissor( x, top, width, 2 * h );
	}
	GXSetScissorBoxOffset( 0, top );
}

void CopyAndToken( void* destination ) {
	GXCopyDisp( destination, static_cast<GXBool>( _RwDlCopyClear & 0xFF ) );
	_rwDlTokenIssue();
	GXFlush();
}

void SwapCopyTarget() {
	_RwGCXFBCopy = _RwGCXFBCopy == _RwGCXFB1 ? _RwGCXFB2 : _RwGCXFB1;
}

}	// namespace

RwDlFrameQueueEntry	_RwGCFrameQueue[RWDL_FRAME_QUEUE];
volatile s32		_RwDlFrameNew = 0;
volatile s32		_RwDlFrameCurrent = 0;
volatile u16		_RwDlFrameSwap[RWDL_FRAME_QUEUE];
volatile s32		_RwDlFrameTokenNew = 0;
volatile s32		_RwDlFrameTokenCurrent = 0;
volatile u16		_RwDlTokenCurrent = 1;
volatile u16		_RwDlTokenLastSeen = 0;
volatile u32		_RwDlBreakPointEnabled = 0;
volatile u32		_RwDlFrameReadyOnToken = 0;
volatile u32		_RwDlFrameWait = 0;
volatile u32		_RwDlFrameGo = 0;
volatile u32		_RwDlFirstFrame = 1;
volatile u32		_RwDlFSAAToggle = 0;
OSThreadQueue		_RwDlWaitingDoneRender;
RwMatrix			_RwDlInvCamLTM;

bool _rwDlCameraBeginUpdate( void*, void* inOut, s32 ) {
	RwCamera* const camera = static_cast<RwCamera*>( inOut );
	GXSetCurrentGXThread();
	dgGGlobals.curCamera = camera;
	SetCameraMatrix( camera );
	SetProjection( camera );

	_rwDlSetTargetViewport( camera->frameBuffer );
	return true;
}

void _rwDlSetTargetViewport( const RwRaster* target ) {
	if ( target == nullptr ) {
		return;
	}
	const s32 x = target->nOffsetX;
	const s32 y = target->nOffsetY;
	const s32 w = target->width;
	const s32 h = target->height;
	if ( target->cType & RASTER_TYPE_TEXTURE_BITS ) {
		const RwDlRasterExt* const ext = _rwDlRasterExt( target );
		SetPixelFormat( ( ext->flags & RWDL_RASTER_HAS_ALPHA ) ? GX_PF_RGBA6_Z24 : GX_PF_RGB8_Z24 );
		GXSetViewport( x, y, w, h, 0.0f, 1.0f );
		GXSetScissor( x, y, w, h );
		GXSetScissorBoxOffset( 0, 0 );
		return;
	}
	SetPixelFormat( _RwDlPixelFormat );
	const bool jitter = _RwDlRenderMode->field_rendering != 0;
	if ( !_RwDlFSAA ) {
		if ( jitter ) {
			GXSetViewportJitter( x, y, w, h, 0.0f, 1.0f, VIGetNextField() );
		} else {
			GXSetViewport( x, y, w, h, 0.0f, 1.0f );
		}
		GXSetScissor( x, y, w, h );
		return;
	}
	if ( jitter ) {
		GXSetViewportJitter( x, y, w, h, 0.0f, 1.0f, VIGetNextField() );
	} else {
		GXSetViewport( x, 2 * y, w, 2 * h, 0.0f, 1.0f );
	}
	SetFsaaScissor( x, y, h );
}

bool _rwDlCameraEndUpdate( void*, void*, s32 ) {
	dgGGlobals.curCamera = nullptr;
	return true;
}

bool _rwDlCameraClear( void* out, void* inOut, const s32 inInt ) {
	const RwCamera* const camera = static_cast<const RwCamera*>( out );
	const RwRGBA* const colour = static_cast<const RwRGBA*>( inOut );
	if ( _RwDlCopyClear == 0 ) {
		RwRaster* const raster = camera->frameBuffer;
		if ( raster == nullptr ) {
			return true;
		}
		RwRect rect = { raster->nOffsetX, raster->nOffsetY, raster->width, raster->height };
		if ( _RwDlFSAA ) {
			rect.y *= 2;
			rect.h *= 2;
		}
		_rwDlRasterCamera_ZClearRect( raster, &rect, colour, inInt );
		return true;
	}
	if ( inInt & CLEAR_IMAGE ) {
		GXSetCopyClear( { colour->red, colour->green, colour->blue, colour->alpha }, COPY_CLEAR_Z );
	}
	return true;
}

bool _rwDlRasterShowRaster( void*, void*, s32 ) {
	BOOL level = OSDisableInterrupts();
	const s32 inFlight = _RwDlFrameNew - _RwDlFrameCurrent;
	const bool full = inFlight == 2 || inFlight == -1;
	OSRestoreInterrupts( level );
	if ( full ) {
		OSSleepThread( &_RwDlWaitingDoneRender );
	}

	GXFlush();
	void* writePtr = nullptr;
	GXGetFifoPtrs( GXGetCPUFifo(), nullptr, &writePtr );

	const bool fullCopy = !_RwDlFSAA || !_RwDlFSAATop;
	level = OSDisableInterrupts();
	_RwGCFrameQueue[_RwDlFrameNew].xfb = _RwGCXFBCopy;
	_RwGCFrameQueue[_RwDlFrameNew].writePtr = writePtr;
	if ( fullCopy ) {
		_RwDlFrameSwap[_RwDlFrameTokenNew] = _RwDlTokenCurrent;
		_RwDlFrameTokenNew = Next( _RwDlFrameTokenNew );
	}
	_RwDlFrameNew = Next( _RwDlFrameNew );
	if ( !_RwDlBreakPointEnabled ) {
		_RwDlBreakPointEnabled = 1;
		GXEnableBreakPt( writePtr );
	}
	OSRestoreInterrupts( level );

	if ( !_RwDlFSAA ) {
		CopyAndToken( _RwGCXFBCopy );
		SwapCopyTarget();
		return true;
	}
	if ( _RwDlFSAATop ) {
		CopyAndToken( _RwGCXFBCopy );
		_RwDlFSAATop = 0;
		return true;
	}
	const GXRenderModeObj* const mode = _RwDlRenderMode;
	const u32 guard = FSAA_GUARD_LINES;
	GXSetCopyClamp( GX_CLAMP_BOTTOM );
	GXSetDispCopySrc( 0, static_cast<u16>( guard ), mode->fbWidth, static_cast<u16>( mode->efbHeight - guard ) );
	u8* const bottom = static_cast<u8*>( _RwGCXFBCopy ) + _rwDlXfbWidth() * ( mode->efbHeight - guard ) * XFB_BYTES_PER_PIXEL;
	GXCopyDisp( bottom, static_cast<GXBool>( _RwDlCopyClear & 0xFF ) );
	_rwDlTokenIssue();
	GXSetCopyClamp( GX_CLAMP_TOP | GX_CLAMP_BOTTOM );
	GXSetDispCopySrc( 0, 0, mode->fbWidth, mode->efbHeight );
	GXFlush();
	SwapCopyTarget();
	_RwDlFSAATop = 1;
	return true;
}

void _rwDlBreakPtCallback() {
	if ( _RwGCFrameQueue[_RwDlFrameCurrent].xfb == _RwGCXFBDisp ) {
		// The copy would overwrite the picture on screen: wait for a retrace.
		_RwDlFrameWait = 1;
		return;
	}
	_rwDlBreakNext();
}

void _rwDlBreakNext() {
	const s32 next = Next( _RwDlFrameCurrent );
	if ( next == _RwDlFrameNew ) {
		GXDisableBreakPt();
		_RwDlBreakPointEnabled = 0;
	} else {
		GXEnableBreakPt( _RwGCFrameQueue[next].writePtr );
	}
	_RwDlFrameCurrent = next;
	OSWakeupThread( &_RwDlWaitingDoneRender );
	if ( !_RwDlFSAA ) {
		_RwDlFrameReadyOnToken = 1;
		return;
	}
	// Two passes make one antialiased frame.
	if ( _RwDlFSAAToggle == 1 ) {
		_RwDlFrameReadyOnToken = 1;
	}
	_RwDlFSAAToggle = _RwDlFSAAToggle ^ 1;
}

void _rwDlVIPreRetraceCallback( u32 ) {
	if ( _RwDlFrameReadyOnToken != 1 || !_rwDlTokenQueryDone( _RwDlFrameSwap[_RwDlFrameTokenCurrent] ) ) {
		return;
	}
	_RwGCXFBDisp = _RwGCXFBDisp != _RwGCXFB1 ? _RwGCXFB1 : _RwGCXFB2;
	VISetNextFrameBuffer( _RwGCXFBDisp );
	if ( _RwDlFirstFrame ) {
		VISetBlack( 0 );
		_RwDlFirstFrame = 0;
	}
	VIFlush();
	_RwDlFrameGo = 1;
	_RwDlFrameTokenCurrent = Next( _RwDlFrameTokenCurrent );
	_RwDlFrameReadyOnToken = 0;
}

void _rwDlVIPostRetraceCallback( u32 ) {
	if ( _RwDlFrameWait && _RwDlFrameGo ) {
		_rwDlBreakNext();
		_RwDlFrameWait = 0;
	}
	_RwDlFrameGo = 0;
}

bool _rwDlTokenQueryDone( const u16 token ) {
	_RwDlTokenLastSeen = static_cast<u16>( GXReadDrawSync() & 0xFFFF );
	const u16 current = _RwDlTokenCurrent;
	const u16 seen = _RwDlTokenLastSeen;
	if ( current < seen ) {
		// The issue counter has wrapped since the GPU's last token.
		return current < token && token <= seen;
	}
	return !( seen < token && token <= current );
}

void _rwDlTokenIssue() {
	GXSetDrawSync( _RwDlTokenCurrent );
	_RwDlTokenCurrent = static_cast<u16>( ( _RwDlTokenCurrent + 1 ) % RWDL_TOKEN_MODULO );
}

void _rwDlTokenWait( const u16 token ) {
	RwDlWait wait;
	_rwDlWaitBegin( &wait, "draw-sync token wait" );
	while ( !_rwDlTokenQueryDone( token ) ) {
		_rwDlWaitTurn( &wait );
	}
}

void _rwDlTransformSetup( const RwMatrix* matrix, const bool withNormals ) {
	RwMatrix combined;
	const RwMatrix* m = &_RwDlInvCamLTM;
	if ( matrix != nullptr ) {
		RwMatrixMultiply( &combined, matrix, &_RwDlInvCamLTM );
		m = &combined;
	}
	// Transposed 3 x 4 part; the first and third rows negated.
	const Mtx g = {
		{ -m->right.x, -m->up.x, -m->at.x, -m->pos.x },
		{ m->right.y, m->up.y, m->at.y, m->pos.y },
		{ -m->right.z, -m->up.z, -m->at.z, -m->pos.z },
	};
	GXLoadPosMtxImm( g, GX_PNMTX0 );
	if ( withNormals ) {
		GXLoadNrmMtxImm( g, GX_PNMTX0 );
	}
	GXSetCurrentMtx( GX_PNMTX0 );
}

void RwGameCubeCameraTextureFlush( RwRaster* raster, const s32 halve ) {
	const RwRaster* const parent = raster->parent != nullptr ? raster->parent : raster;
	const RwDlRasterExt* const ext = _rwDlRasterExt( raster );
	const s32 w = parent->width;
	const s32 h = parent->height;
	GXSetCopyFilter( GX_FALSE, nullptr, GX_FALSE, nullptr );
	if ( halve ) {
		GXSetTexCopySrc( 0, 0, static_cast<u16>( w >> 1 ), static_cast<u16>( h >> 1 ) );
	} else {
		GXSetTexCopySrc( 0, 0, static_cast<u16>( w ), static_cast<u16>( h ) );
	}
	GXSetTexCopyDst( static_cast<u16>( w ), static_cast<u16>( h ), ext->gxFormat, halve != 0 );
	GXCopyTex( ext->texels, static_cast<GXBool>( _RwDlCopyClear & 0xFF ) );
	GXPixModeSync();
	const GXRenderModeObj* const mode = _RwDlRenderMode;
	GXSetCopyFilter( mode->aa, mode->sample_pattern, GX_TRUE, mode->vfilter );
	GXInvalidateTexAll();
}

void RwGameCubeGetXFBs( void** displayed, void** copyTarget ) {
	RwDlWait wait;
	_rwDlWaitBegin( &wait, "RwGameCubeGetXFBs" );
	while ( _RwDlFrameReadyOnToken == 1 || _RwDlFrameTokenNew != _RwDlFrameTokenCurrent ) {
		_rwDlWaitTurn( &wait );
	}
	*displayed = _RwGCXFBDisp;
	*copyTarget = _RwGCXFBCopy;
}

void RwGameCubeSetCopyClear( const u32 copyClear ) {
	_RwDlCopyClear = copyClear;
}

u32 RwGameCubeGetCopyClear() {
	return _RwDlCopyClear;
}

RwDlFrameView _rwDlFrameView() {
	RwDlFrameView view = {};
	view.frameNew = _RwDlFrameNew;
	view.frameCurrent = _RwDlFrameCurrent;
	view.frameTokenNew = _RwDlFrameTokenNew;
	view.frameTokenCurrent = _RwDlFrameTokenCurrent;
	for ( u32 i = 0; i < RWDL_FRAME_QUEUE; i++ ) {
		view.frameSwap[i] = _RwDlFrameSwap[i];
		view.queueXfb[i] = _RwGCFrameQueue[i].xfb;
		view.queueWritePtr[i] = _RwGCFrameQueue[i].writePtr;
	}
	view.tokenCurrent = _RwDlTokenCurrent;
	view.tokenLastSeen = _RwDlTokenLastSeen;
	view.breakPointEnabled = _RwDlBreakPointEnabled;
	view.frameReadyOnToken = _RwDlFrameReadyOnToken;
	view.frameWait = _RwDlFrameWait;
	view.frameGo = _RwDlFrameGo;
	view.firstFrame = _RwDlFirstFrame;
	view.fsaa = _RwDlFSAA;
	view.fsaaTop = _RwDlFSAATop;
	view.xfb1 = _RwGCXFB1;
	view.xfb2 = _RwGCXFB2;
	view.xfbDisplayed = _RwGCXFBDisp;
	view.xfbCopy = _RwGCXFBCopy;
	return view;
}
