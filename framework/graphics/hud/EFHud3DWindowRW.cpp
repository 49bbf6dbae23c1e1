#include "framework/graphics/hud/EFHud3DWindowRW.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/hud/EFHudRender.h"
#include "graphics3d/core/RwFrame.h"

namespace {

// The HUD camera's view-window height over its width.
constexpr f32 VIEW_ASPECT	= 0.875f;

}

EFHud3DWindow_SP::EFHud3DWindow_SP( const u32 flags, const u32 priority ) : EFHud3DWindow_BC( flags, priority ) {
}

u32 EFHud3DWindow_SP::SpecificUpdate( f32, void *&, unsigned long & count ) {
	count++;
	return 0;
}

void EFHud3DWindow_SP::SpecificRender( EFCamera *, unsigned long & count ) {
	count = count > 0 ? count - 1 : 0;
	EF3dObj * const object = Get3dObject();
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	if ( object == nullptr || object->mpFrame == nullptr || manager == nullptr || manager->GetScreenScaleX() <= 0.0f ||
		 manager->GetScreenScaleY() <= 0.0f ) {
		return;
	}
	const f32 cx = ( moPosRect.x + 0.5f * moPosRect.w ) / manager->GetScreenScaleX();
	const f32 cy = ( moPosRect.y + 0.5f * moPosRect.h ) / manager->GetScreenScaleY();
	RwFrame * const frame = object->mpFrame->GetRwFrame();
	frame->modelling.pos = { 0.0f, 0.0f, 0.0f };
	const RwV3d offset = { 0.5f - cx, VIEW_ASPECT * ( 0.5f - cy ), static_cast<f32>( muiPriority ) };
	RwFrameTranslate( frame, &offset, rwCOMBINEPOSTCONCAT );
	object->Render( 0 );
	EFHudSetState( EF_HUD_STATE_SRC_BLEND, EF_HUD_SRC_BLEND );
	EFHudSetState( EF_HUD_STATE_DST_BLEND, EF_HUD_DST_BLEND );
	EFHudSetState( EF_HUD_STATE_VERTEX_ALPHA, 1 );
}
