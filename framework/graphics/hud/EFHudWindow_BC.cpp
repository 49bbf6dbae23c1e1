#include "framework/graphics/hud/EFHudWindow_BC.h"

#include "framework/graphics/hud/EFHudPalette.h"
#include "framework/graphics/hud/EFHudWindow.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"

u32 EFHudWindow_BC::msuiIdRef = 0;

namespace {

// A rectangle this narrow or low is not drawn.
constexpr f32 SMALLEST_SIDE		= 0.5f;
constexpr u32 BORDER_QUADS		= 4;
// Corner pairs of the border quads (corners 0 top-right, 1 top-left,
// 2 bottom-right, 3 bottom-left).
constexpr u32 uiVertexBorder[BORDER_QUADS][2] = { { 0, 1 }, { 1, 3 }, { 3, 2 }, { 2, 0 } };

bool IsVisibleSize( const CRect & rect ) {
	return rect.w >= SMALLEST_SIDE && rect.h >= SMALLEST_SIDE;
}

}

EFHudWindow_BC::EFHudWindow_BC( const HudWinType_e type, const u32 flags, const u32 priority )
	: moDesignRect{ 0.0f, 0.0f, 1.0f, 1.0f }, moScreenRect(), moPosRect(), moClipRect(), muiFlags( flags ),
	  muiId( ++msuiIdRef ), muiColorGroup( 0 ), mafBorder(), mpoParent( nullptr ), mpoNextSibling( nullptr ),
	  mpoFirstChild( nullptr ), meType( type ), muiPriority( priority ), mfTimer( 0.0f ), muiHandle( EF_HUD_NO_HANDLE ) {
}

EFHudWindow_BC::~EFHudWindow_BC() {
}

EFHudWindow * EFHudWindow_BC::AsWindow() {
	return static_cast<EFHudWindow *>( this );
}

u32 EFHudWindow_BC::SpecificUpdate( f32, void *&, unsigned long & ) {
	return 0;
}

void EFHudWindow_BC::SpecificRender( EFCamera *, unsigned long & ) {
}

void EFHudWindow_BC::RenderInit( EFCamera *, CRect *, f32 ) {
}

void EFHudWindow_BC::RenderTerminate() {
}

void EFHudWindow_BC::FillPoly( const CVector2d *, const RwRGBA * ) {
}

void EFHudWindow_BC::AddChild( EFHudWindow * child ) {
	if ( child == nullptr ) {
		return;
	}
	EFHudWindow ** link = &mpoFirstChild;
	while ( *link != nullptr && ( *link )->muiPriority > child->muiPriority ) {
		link = &( *link )->mpoNextSibling;
	}
	child->mpoNextSibling = *link;
	*link = child;
	child->mpoParent = AsWindow();
}

void EFHudWindow_BC::RemoveChild( EFHudWindow * child ) {
	for ( EFHudWindow ** link = &mpoFirstChild; *link != nullptr; link = &( *link )->mpoNextSibling ) {
		if ( *link == child ) {
			*link = child->mpoNextSibling;
			child->mpoNextSibling = nullptr;
			child->mpoParent = nullptr;
			return;
		}
	}
}

const EFHudWindow * EFHudWindow_BC::GetPlacementParent() const {
	if ( mpoParent != nullptr ) {
		return mpoParent;
	}
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	return manager != nullptr && manager->GetRootWindow() != nullptr ? manager->GetRootWindow()
																	 : static_cast<const EFHudWindow *>( this );
}

void EFHudWindow_BC::ComputePos() {
	const CRect parent = GetPlacementParent()->moPosRect;
	CRect pos = moScreenRect;
	if ( ( muiFlags & ( EF_HUD_RELATIVE_POS | EF_HUD_RELATIVE_SIZE ) ) != 0 ) {
		pos.x = parent.x + moDesignRect.x * parent.w;
		pos.y = parent.y + moDesignRect.y * parent.h;
		if ( ( muiFlags & EF_HUD_RELATIVE_SIZE ) != 0 ) {
			pos.w = moDesignRect.w * parent.w;
			pos.h = moDesignRect.h * parent.h;
		}
	}
	if ( ( muiFlags & EF_HUD_CENTER_X ) != 0 ) {
		pos.x += 0.5f * ( parent.w - pos.w );
	}
	if ( ( muiFlags & EF_HUD_CENTER_Y ) != 0 ) {
		pos.y += 0.5f * ( parent.h - pos.h );
	}
	if ( ( muiFlags & EF_HUD_ALIGN_RIGHT ) != 0 ) {
		pos.x += parent.w - pos.w;
	}
	if ( ( muiFlags & EF_HUD_ALIGN_BOTTOM ) != 0 ) {
		pos.y += parent.h - pos.h;
	}
	moPosRect = pos;
	moClipRect = pos;
	if ( mpoParent == nullptr ) {
		return;
	}
	const CRect & clip = mpoParent->moClipRect;
	if ( moClipRect.x < clip.x ) {
		moClipRect.w -= clip.x - moClipRect.x;
		moClipRect.x = clip.x;
	}
	if ( moClipRect.y < clip.y ) {
		moClipRect.h -= clip.y - moClipRect.y;
		moClipRect.y = clip.y;
	}
	if ( moClipRect.x + moClipRect.w > clip.x + clip.w ) {
		moClipRect.w = clip.x + clip.w - moClipRect.x;
	}
	if ( moClipRect.y + moClipRect.h > clip.y + clip.h ) {
		moClipRect.h = clip.y + clip.h - moClipRect.y;
	}
}

void EFHudWindow_BC::Update( const f32 dt, void *& commands, unsigned long & count ) {
	if ( ( muiFlags & ( EF_HUD_HIDDEN | EF_HUD_DELETE_NOW ) ) != 0 ) {
		return;
	}
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	const f32 sx = manager != nullptr ? manager->GetScreenScaleX() : 0.0f;
	const f32 sy = manager != nullptr ? manager->GetScreenScaleY() : 0.0f;
	moScreenRect = { moDesignRect.x * sx, moDesignRect.y * sy, moDesignRect.w * sx, moDesignRect.h * sy };
	ComputePos();
	if ( IsVisibleSize( moClipRect ) && ( SpecificUpdate( dt, commands, count ) & EF_HUD_PLACE_AGAIN ) != 0 ) {
		ComputePos();
	}
	for ( EFHudWindow * child = mpoFirstChild; child != nullptr; child = child->mpoNextSibling ) {
		child->Update( dt, commands, count );
	}
	if ( ( muiFlags & EF_HUD_TIMER_RUNNING ) != 0 ) {
		mfTimer -= dt;
	}
}

void EFHudWindow_BC::Render( EFCamera * camera, unsigned long & count, const u32 depth ) {
	if ( ( muiFlags & EF_HUD_HIDDEN ) != 0 || !IsVisibleSize( moClipRect ) ) {
		return;
	}
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	const f32 sx = manager != nullptr && manager->GetScreenScaleX() > 0.0f ? manager->GetScreenScaleX() : 1.0f;
	const f32 sy = manager != nullptr && manager->GetScreenScaleY() > 0.0f ? manager->GetScreenScaleY() : 1.0f;
	CRect clip = { moClipRect.x / sx, moClipRect.y / sy, moClipRect.w / sx, moClipRect.h / sy };
	RenderInit( camera, &clip, static_cast<f32>( depth ) );
	if ( ( muiFlags & EF_HUD_BACKGROUND ) != 0 ) {
		DrawBackGround();
	}
	SpecificRender( camera, count );
	RenderTerminate();
	EFHudWindow * child = mpoFirstChild;
	while ( child != nullptr ) {
		EFHudWindow * const next = child->mpoNextSibling;
		child->Render( camera, count, depth + 1 );
		if ( ( child->muiFlags & EF_HUD_DELETE_NOW ) != 0 ) {
			delete child;
		}
		child = next;
	}
	if ( ( muiFlags & EF_HUD_TIMER_RUNNING ) != 0 && mfTimer <= 0.0f ) {
		if ( ( muiFlags & EF_HUD_HIDE_ON_TIMER ) != 0 ) {
			muiFlags |= EF_HUD_HIDDEN;
		}
		if ( ( muiFlags & EF_HUD_DELETE_ON_TIMER ) != 0 ) {
			muiFlags |= EF_HUD_DELETE_NOW;
		}
		muiFlags &= ~EF_HUD_TIMER_RUNNING;
	}
}

void EFHudWindow_BC::DrawBackGround() {
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	const EFHudColorGroup * const group =
		manager != nullptr ? manager->GetColorGroup( EF_HUD_GLOBAL_PALETTE, muiColorGroup ) : nullptr;
	if ( group == nullptr ) {
		return;
	}
	const CRect & r = moPosRect;
	const CVector2d inner[4] = { { r.x + r.w, r.y }, { r.x, r.y }, { r.x + r.w, r.y + r.h }, { r.x, r.y + r.h } };
	FillPoly( inner, group->aColors );
	if ( mafBorder[0] == 0.0f && mafBorder[1] == 0.0f ) {
		return;
	}
	const CRect & parent = GetPlacementParent()->moPosRect;
	f32 bx = mafBorder[0] * parent.w;
	f32 by = mafBorder[1] * parent.h;
	if ( ( muiFlags & EF_HUD_BORDER_THICKNESS ) == 0 ) {
		bx = 0.5f * ( bx - r.w );
		by = 0.5f * ( by - r.h );
	}
	const CVector2d outer[4] = { { inner[0].x + bx, inner[0].y - by }, { inner[1].x - bx, inner[1].y - by },
								 { inner[2].x + bx, inner[2].y + by }, { inner[3].x - bx, inner[3].y + by } };
	for ( const auto & pair : uiVertexBorder ) {
		const u32 a = pair[0];
		const u32 b = pair[1];
		const CVector2d corners[4] = { outer[a], outer[b], inner[a], inner[b] };
		const RwRGBA colors[4] = { { 0, 0, 0, 0 }, { 0, 0, 0, 0 }, group->aColors[a], group->aColors[a] };
		FillPoly( corners, colors );
	}
}

f32 EFHudWindow_BC::GetDepth() const {
	const RwCamera * const camera = RwEngineInstance != nullptr ? RwEngineInstance->currentCamera : nullptr;
	return camera != nullptr ? static_cast<f32>( muiPriority ) * camera->zScale + camera->zShift : 0.0f;
}
