// The drivers that make a drawing-surface control's DirectDraw objects and present its back
// surface on the primary surface.
#pragma once

class TCustomSurfaceView;

class TSurfaceViewDriver {
public:
    explicit TSurfaceViewDriver(TCustomSurfaceView& owner);
    // Releases the control's DirectDraw objects: clipper, palette, back surface, primary
    // surface, then the DirectDraw object.
    virtual ~TSurfaceViewDriver();
    virtual void Flip() = 0;
    virtual void Initialize() = 0;
    virtual bool SetSize(int width, int height);

protected:
    TCustomSurfaceView& owner_;
};

class TSurfaceViewDriverBlt : public TSurfaceViewDriver {
public:
    using TSurfaceViewDriver::TSurfaceViewDriver;
    void Flip() override;
    void Initialize() override;
    bool SetSize(int width, int height) override;
    void CreateBackSurface();
};
